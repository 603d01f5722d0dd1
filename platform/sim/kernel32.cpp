// kernel32 stand-in for looking up modules already in the process.
#include <windows.h>
#include <winsim/control.h>
#include <winsim/dllnames.h>

#include <QString>

#include <atomic>
#include <dlfcn.h>

namespace {

std::atomic<int> g_lookups{0};

} // namespace

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

} // namespace control
} // namespace winsim
