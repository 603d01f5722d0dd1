#include "systemnotifytoastexports.h"

#include "systemversion.h"
#include "vantortoastwrapper.h"

// The three plain names the host resolves, with the default calling convention;
// nothing else leaves the library.
#if defined(_WIN32)
#define SNT_EXPORT extern "C" __declspec(dllexport)
#else
#define SNT_EXPORT extern "C" __attribute__((visibility("default")))
#endif

SNT_EXPORT bool isSupportSystemToast()
{
    const QOperatingSystemVersion current = currentSystemVersion();
    const QOperatingSystemVersion firstRelease(QOperatingSystemVersion::Windows, 10, 0, 10240);
    return current.type() == QOperatingSystemVersion::Windows && current >= firstRelease;
}

SNT_EXPORT ISystemNotifyToast* createSystemNotifyToast(bool useApplicationToast)
{
    return new VantorToastWrapper(useApplicationToast);
}

SNT_EXPORT void deleteSystemNotifyToast(ISystemNotifyToast* toast)
{
    delete toast;
}
