#include "freedesktopdefault.h"

#include <windows.h>
#include <winsim/control.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
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

// What the simulation reports when nothing is pinned: a desktop whose session
// bus has a notification server can show native toasts, so it passes for a
// Windows 10 machine. Asked on the caller's thread, so the wait is kept short.
QVersionNumber detectedVersion()
{
    if (!QCoreApplication::instance())
        return QVersionNumber(); // QtDBus needs the application object
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return QVersionNumber();
    QDBusMessage ask = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                                                      QStringLiteral("/org/freedesktop/DBus"),
                                                      QStringLiteral("org.freedesktop.DBus"),
                                                      QStringLiteral("NameHasOwner"));
    ask << QStringLiteral("org.freedesktop.Notifications");
    constexpr int timeoutMs = 300;
    const QDBusMessage reply = bus.call(ask, QDBus::Block, timeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().value(0).toBool() != true)
        return QVersionNumber();
    return QVersionNumber(10, 0, 19045);
}

} // namespace

namespace winsim {

namespace detail {

bool osVersionPinned()
{
    QMutexLocker lock(&state().mutex);
    return state().pinned;
}

bool desktopHasNotificationServer()
{
    return !osVersionPinned() && !detectedVersion().isNull();
}

} // namespace detail

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

extern "C" NTSTATUS NTAPI RtlGetVersion(PRTL_OSVERSIONINFOW info)
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
