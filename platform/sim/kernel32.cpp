// kernel32 stand-in for the process heap and for looking up modules already
// in the process. The process heap is the C library's allocator here.
#include "faults_p.h"

#include <windows.h>
#include <winsim/control.h>
#include <winsim/dllnames.h>

#include <QFileInfo>
#include <QString>

#include <atomic>
#include <cstring>
#include <dlfcn.h>
#include <link.h>
#include <malloc.h>
#include <string>

namespace {

std::atomic<int> g_lookups{0};
std::atomic<int> g_heapCompactions{0};
int g_processHeap; // its address is the handle

struct LoadedSearch {
    const char* fileName;
    std::string path;
};

int matchLoaded(struct dl_phdr_info* info, size_t, void* data)
{
    auto* search = static_cast<LoadedSearch*>(data);
    const char* path = info->dlpi_name;
    if (!path || !*path)
        return 0;
    const char* slash = std::strrchr(path, '/');
    if (std::strcmp(slash ? slash + 1 : path, search->fileName) != 0)
        return 0;
    search->path = path;
    return 1;
}

} // namespace

extern "C" HANDLE WINAPI GetProcessHeap()
{
    return &g_processHeap;
}

extern "C" SIZE_T WINAPI HeapCompact(HANDLE hHeap, DWORD)
{
    if (hHeap != &g_processHeap)
        return 0;
    ++g_heapCompactions;
    malloc_trim(0);
    const struct mallinfo2 info = mallinfo2();
    return info.fordblks;
}

extern "C" HMODULE WINAPI GetModuleHandleW(LPCWSTR lpModuleName)
{
    ++g_lookups;
    if (!lpModuleName)
        return reinterpret_cast<HMODULE>(dlopen(nullptr, RTLD_LAZY | RTLD_NOLOAD));
    // Windows matches a loaded module by its base name, wherever it was loaded from.
    const QByteArray file =
        QFileInfo(winsim::localLibraryFileName(QString::fromWCharArray(lpModuleName))).fileName().toLocal8Bit();
    // Windows looks in the process's module list only. dlopen by bare name
    // would search the library path on disk first, even with RTLD_NOLOAD.
    LoadedSearch search{file.constData(), {}};
    if (!dl_iterate_phdr(&matchLoaded, &search))
        return nullptr;
    void* handle = dlopen(search.path.c_str(), RTLD_LAZY | RTLD_NOLOAD);
    if (handle)
        dlclose(handle); // drop the reference NOLOAD took: the handle stays valid while the module is loaded
    return reinterpret_cast<HMODULE>(handle);
}

extern "C" FARPROC WINAPI GetProcAddress(HMODULE hModule, const char* lpProcName)
{
    if (!hModule || !lpProcName)
        return nullptr;
    // An injected fault stands for a module without that export.
    if (winsim::detail::enterCall("GetProcAddress").outcome != winsim::detail::CallDecision::Proceed)
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
