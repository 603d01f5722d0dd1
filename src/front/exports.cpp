#include "systemnotifytoastexports.h"

#include "systemversion.h"
#include "toastlog.h"
#include "vantortoastwrapper.h"

#if defined(_WIN32)
#include "windowsapi.h"
#else
#include <dlfcn.h>
#endif

// The three plain names the host resolves, with the default calling convention;
// nothing else leaves the library.
#if defined(_WIN32)
#define SNT_EXPORT extern "C" __declspec(dllexport)
#else
#define SNT_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

// Native toasts leave their event handlers with the platform when the service
// goes, and the platform may call them long after: once a service has existed,
// a host's unload must not take their code away. Not done at load, so that a
// host that only asks isSupportSystemToast can still unload the module.
void pinModule()
{
#if defined(_WIN32)
    HMODULE self = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCWSTR>(&pinModule), &self))
        logCall(QStringLiteral("`anonymous-namespace'::pinModule"),
                QStringLiteral("error = %1").arg(QString::number(GetLastError())));
#else
    // NOLOAD: the module is loaded already; this only adds a reference that is
    // never dropped, and NODELETE keeps it mapped through any dlclose.
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&pinModule), &info) || !info.dli_fname
        || !dlopen(info.dli_fname, RTLD_NOW | RTLD_NODELETE | RTLD_NOLOAD))
        logCall(QStringLiteral("`anonymous-namespace'::pinModule"), QStringLiteral("error = %1").arg(QString::fromLocal8Bit(dlerror())));
#endif
}

} // namespace

// No C++ exception may cross into the host, which may not even be C++: the
// exported functions and the facade's operations answer instead.
SNT_EXPORT bool isSupportSystemToast()
{
    try {
        const QOperatingSystemVersion current = currentSystemVersion();
        const QOperatingSystemVersion firstRelease(QOperatingSystemVersion::Windows, 10, 0, 10240);
        return current.type() == QOperatingSystemVersion::Windows && current >= firstRelease;
    } catch (...) {
        return false;
    }
}

SNT_EXPORT ISystemNotifyToast* createSystemNotifyToast(bool useApplicationToast)
{
    try {
        static const bool pinned = (pinModule(), true);
        Q_UNUSED(pinned)
        return new VantorToastWrapper(useApplicationToast);
    } catch (...) {
        return nullptr;
    }
}

// Destructors do not throw: nothing to catch here.
SNT_EXPORT void deleteSystemNotifyToast(ISystemNotifyToast* toast)
{
    delete toast;
}
