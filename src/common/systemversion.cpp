#include "systemversion.h"

#include "windowsapi.h"

QOperatingSystemVersion currentSystemVersion()
{
#ifdef Q_OS_WIN
    return QOperatingSystemVersion::current();
#else
    // Qt answers only for the build's own system; ask the platform as Qt does on Windows.
    RTL_OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    if (RtlGetVersion(&info) != 0 || info.dwPlatformId != VER_PLATFORM_WIN32_NT)
        return QOperatingSystemVersion(QOperatingSystemVersion::Unknown, 0);
    return QOperatingSystemVersion(QOperatingSystemVersion::Windows, int(info.dwMajorVersion),
                                   int(info.dwMinorVersion), int(info.dwBuildNumber));
#endif
}
