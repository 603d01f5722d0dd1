#include "freedesktopdefault.h"

#include <windows.h>
#include <winsim/control.h>

#include <QByteArray>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>

#include <dbus/dbus.h>

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

QByteArray sessionBusAddress()
{
    const QByteArray address = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    if (!address.isEmpty())
        return address;
    // Where a systemd user session puts its bus when it names no address.
    const QByteArray socket = qgetenv("XDG_RUNTIME_DIR") + "/bus";
    return QFileInfo::exists(QFile::decodeName(socket)) ? "unix:path=" + socket : QByteArray();
}

// A call to the bus itself, answered within what is left of the deadline;
// null for an error or no answer.
DBusMessage* askBus(DBusConnection* connection, const char* method, const char* argument, const QDeadlineTimer& deadline)
{
    DBusMessage* call = dbus_message_new_method_call(DBUS_SERVICE_DBUS, DBUS_PATH_DBUS, DBUS_INTERFACE_DBUS, method);
    if (!call)
        return nullptr;
    DBusMessage* reply = nullptr;
    if (!argument || dbus_message_append_args(call, DBUS_TYPE_STRING, &argument, DBUS_TYPE_INVALID))
        reply = dbus_connection_send_with_reply_and_block(connection, call, int(qMax<qint64>(1, deadline.remainingTime())), nullptr);
    dbus_message_unref(call);
    return reply;
}

// What the simulation reports when nothing is pinned: a desktop whose session
// bus has a notification server can show native toasts, so it passes for a
// Windows 10 machine. Asked over a connection of its own each time: one kept
// for the process stays dead once its bus went away, and would deny a server
// on the bus that came back. The caller's thread waits, so briefly.
QVersionNumber detectedVersion()
{
    const QByteArray address = sessionBusAddress();
    if (address.isEmpty())
        return QVersionNumber();
    DBusConnection* connection = dbus_connection_open_private(address.constData(), nullptr);
    if (!connection)
        return QVersionNumber();
    // libdbus would end the whole process when the bus goes away.
    dbus_connection_set_exit_on_disconnect(connection, FALSE);
    const QDeadlineTimer deadline(300);
    bool hasServer = false;
    if (DBusMessage* hello = askBus(connection, "Hello", nullptr, deadline)) {
        dbus_message_unref(hello);
        if (DBusMessage* owned = askBus(connection, "NameHasOwner", "org.freedesktop.Notifications", deadline)) {
            dbus_bool_t has = FALSE;
            hasServer = dbus_message_get_args(owned, nullptr, DBUS_TYPE_BOOLEAN, &has, DBUS_TYPE_INVALID) && has;
            dbus_message_unref(owned);
        }
    }
    dbus_connection_close(connection);
    dbus_connection_unref(connection);
    return hasServer ? QVersionNumber(10, 0, 19045) : QVersionNumber();
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
