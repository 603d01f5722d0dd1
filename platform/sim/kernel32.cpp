// kernel32 stand-in for the process heap and for looking up modules already
// in the process. The process heap is the C library's allocator here.
#include <windows.h>
#include <winsim/control.h>
#include <winsim/dllnames.h>

#include <QString>

#include <atomic>
#include <dlfcn.h>
#include <malloc.h>

namespace {

std::atomic<int> g_lookups{0};
std::atomic<int> g_heapCompactions{0};
int g_processHeap; // its address is the handle

} // namespace

extern "C" HANDLE GetProcessHeap()
{
    return &g_processHeap;
}

extern "C" SIZE_T HeapCompact(HANDLE hHeap, DWORD)
{
    if (hHeap != &g_processHeap)
        return 0;
    ++g_heapCompactions;
    malloc_trim(0);
    const struct mallinfo2 info = mallinfo2();
    return info.fordblks;
}

extern "C" HMODULE GetModuleHandleW(LPCWSTR lpModuleName)
{
    ++g_lookups;
    if (!lpModuleName)
        return reinterpret_cast<HMODULE>(dlopen(nullptr, RTLD_LAZY | RTLD_NOLOAD));
    const QByteArray file = winsim::localLibraryFileName(QString::fromWCharArray(lpModuleName)).toLocal8Bit();
    void* handle = dlopen(file.constData(), RTLD_LAZY | RTLD_NOLOAD);
    if (handle)
        dlclose(handle); // drop the reference NOLOAD took: the handle stays valid while the module is loaded
    return reinterpret_cast<HMODULE>(handle);
}

extern "C" FARPROC GetProcAddress(HMODULE hModule, const char* lpProcName)
{
    if (!hModule || !lpProcName)
        return nullptr;
    return reinterpret_cast<FARPROC>(dlsym(reinterpret_cast<void*>(hModule), lpProcName));
}

namespace winsim {
namespace control {

int moduleHandleLookups()
{
    return g_lookups.load();
}

int heapCompactions()
{
    return g_heapCompactions.load();
}

} // namespace control
} // namespace winsim
