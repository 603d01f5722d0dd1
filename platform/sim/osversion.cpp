#include <windows.h>
#include <winsim/control.h>

#include <QMutex>
#include <QMutexLocker>

#include <cstring>

namespace {

struct VersionState {
    QMutex mutex;
    bool pinned = false;
    QVersionNumber version;
};

VersionState& state()
{
    static VersionState s;
    return s;
}

// What the simulation reports when nothing is pinned. A desktop with a
// notification server is later treated as a Windows 10 machine.
QVersionNumber detectedVersion()
{
    return QVersionNumber();
}

} // namespace

namespace winsim {
namespace control {

void pinOsVersion(const QVersionNumber& version)
{
    QMutexLocker lock(&state().mutex);
    state().pinned = true;
    state().version = version;
}

void unpinOsVersion()
{
    QMutexLocker lock(&state().mutex);
    state().pinned = false;
    state().version = QVersionNumber();
}

QVersionNumber osVersion()
{
    {
        QMutexLocker lock(&state().mutex);
        if (state().pinned)
            return state().version;
    }
    return detectedVersion();
}

} // namespace control
} // namespace winsim

extern "C" NTSTATUS RtlGetVersion(PRTL_OSVERSIONINFOW info)
{
    if (!info)
        return static_cast<NTSTATUS>(0xC000000D); // STATUS_INVALID_PARAMETER
    const QVersionNumber v = winsim::control::osVersion();
    const ULONG size = info->dwOSVersionInfoSize;
    std::memset(info, 0, sizeof(*info));
    info->dwOSVersionInfoSize = size;
    if (v.isNull())
        return 0; // not Windows: platform id stays 0
    info->dwPlatformId = VER_PLATFORM_WIN32_NT;
    info->dwMajorVersion = static_cast<ULONG>(v.majorVersion());
    info->dwMinorVersion = static_cast<ULONG>(v.minorVersion());
    info->dwBuildNumber = static_cast<ULONG>(v.microVersion());
    return 0;
}
