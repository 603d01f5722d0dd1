#include "systemnotifytoastexports.h"

#include "systemversion.h"
#include "vantortoastwrapper.h"

#define SNT_EXPORT extern "C" __attribute__((visibility("default")))

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
