#include "toastctlplatform.h"

#include <shobjidl.h>
#include <winsim/control.h>
#include <winsim/dllnames.h>

#include <QLibrary>
#include <QVersionNumber>

#include <cerrno>
#include <cstddef>
#include <cstring>

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Within a second: the host of a stale display may swallow packets.
bool connects(int family, const sockaddr* address, socklen_t length)
{
    const int fd = socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    bool done = connect(fd, address, length) == 0;
    if (!done && errno == EINPROGRESS) {
        pollfd waiting{fd, POLLOUT, 0};
        int error = 0;
        socklen_t size = sizeof error;
        done = poll(&waiting, 1, 1000) == 1 && getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
    }
    close(fd);
    return done;
}

// X servers also listen on the abstract socket of the same path; Xlib tries it first.
bool connectsLocal(const QByteArray& path, bool abstractFirst)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.isEmpty() || size_t(path.size()) >= sizeof address.sun_path - 1)
        return false;
    const auto length = socklen_t(offsetof(sockaddr_un, sun_path) + size_t(path.size()) + 1);
    if (abstractFirst) {
        std::memcpy(address.sun_path + 1, path.constData(), size_t(path.size()));
        if (connects(AF_UNIX, reinterpret_cast<sockaddr*>(&address), length))
            return true;
        std::memset(address.sun_path, 0, sizeof address.sun_path);
    }
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    return connects(AF_UNIX, reinterpret_cast<sockaddr*>(&address), length);
}

bool connectsTcp(const QByteArray& host, int port)
{
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.constData(), QByteArray::number(port).constData(), &hints, &found) != 0)
        return false;
    bool done = false;
    for (addrinfo* it = found; it && !done; it = it->ai_next)
        done = connects(it->ai_family, it->ai_addr, it->ai_addrlen);
    freeaddrinfo(found);
    return done;
}

// DISPLAY is [protocol/][host]:number[.screen]: no host (or "unix") is the local
// socket, then TCP on localhost as Xlib falls back; a host is TCP port 6000 + number.
// Only whether something accepts is asked, not whether it lets us in.
bool xServerAnswers(const QByteArray& display)
{
    const int colon = display.lastIndexOf(':');
    const int slash = colon < 0 ? -1 : display.lastIndexOf('/', colon);
    const QByteArray protocol = slash < 0 ? QByteArray() : display.left(slash);
    const QByteArray host = display.mid(slash + 1, colon - slash - 1);
    bool ok = false;
    const int number = display.mid(colon + 1).split('.').first().toInt(&ok);
    if (colon < 0 || !ok || number < 0 || number > 59535)
        return false;
    const bool local = host.isEmpty() || host == "unix" || protocol == "unix";
    if (local && connectsLocal("/tmp/.X11-unix/X" + QByteArray::number(number), true))
        return true;
    if (host == "unix" || protocol == "unix")
        return false;
    return connectsTcp(host.isEmpty() ? QByteArray("localhost") : host, 6000 + number);
}

// WAYLAND_DISPLAY names a socket in XDG_RUNTIME_DIR, or is a path of its own.
bool waylandAnswers(const QByteArray& name)
{
    if (name.startsWith('/'))
        return connectsLocal(name, false);
    const QByteArray runtimeDir = qgetenv("XDG_RUNTIME_DIR");
    return !runtimeDir.isEmpty() && connectsLocal(runtimeDir + '/' + name, false);
}

} // namespace

namespace toastctl {

bool hasSimulationControls()
{
    return true;
}

bool pinPlatformVersion(const QString& text, QString& error)
{
    const QVersionNumber version = QVersionNumber::fromString(text);
    if (version.isNull() || version.segmentCount() > 3) {
        error = QStringLiteral("--platform-version takes X.Y.Z");
        return false;
    }
    winsim::control::pinOsVersion(version);
    return true;
}

QStringList shownToastDocuments()
{
    QStringList documents;
    for (const winsim::control::ShownToast& toast : winsim::control::shownToasts())
        documents << toast.xml;
    return documents;
}

// Leaves Qt only the displays that answer: on a stale one (an ssh session's
// DISPLAY) Qt aborts. Empty when a display is left, else why there is none.
QString noDisplayLeft()
{
    const QByteArray display = qgetenv("DISPLAY");
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    if (display.isEmpty() && wayland.isEmpty())
        return QStringLiteral("neither DISPLAY nor WAYLAND_DISPLAY is set");
    const bool x = !display.isEmpty() && xServerAnswers(display);
    const bool w = !wayland.isEmpty() && waylandAnswers(wayland);
    QStringList dead;
    if (!display.isEmpty() && !x) {
        dead << QStringLiteral("DISPLAY \"%1\"").arg(QString::fromLocal8Bit(display));
        qunsetenv("DISPLAY");
    }
    if (!wayland.isEmpty() && !w) {
        dead << QStringLiteral("WAYLAND_DISPLAY \"%1\"").arg(QString::fromLocal8Bit(wayland));
        qunsetenv("WAYLAND_DISPLAY");
    }
    // Qt 5 tries X first whatever answers.
    if (!dead.isEmpty() && x != w)
        qputenv("QT_QPA_PLATFORM", x ? "xcb" : "wayland");
    if (x || w)
        return QString();
    return dead.join(QLatin1String(" and ")) + QLatin1String(dead.size() > 1 ? " do not answer" : " does not answer");
}
bool nativeToastsExpected()
{
    return winsim::control::osVersion().majorVersion() >= 10;
}

// As a Windows host calls SetCurrentProcessExplicitAppUserModelID: through shell32.
// Without that library there is nothing to set; the module then says what it misses.
bool setProcessAppId(const QString& id, QString& error)
{
    QLibrary shell32(winsim::localLibraryFileName(QStringLiteral("shell32.dll")));
    const auto set = reinterpret_cast<decltype(&SetCurrentProcessExplicitAppUserModelID)>(
        shell32.resolve("SetCurrentProcessExplicitAppUserModelID"));
    if (!set)
        return true;
    const HRESULT hr = set(id.toStdWString().c_str());
    if (FAILED(hr)) {
        error = QStringLiteral("--app-id \"%1\" refused by the platform (%2)").arg(id, QString::number(hr));
        return false;
    }
    return true;
}

void initializeThread()
{
    // The simulation keeps no per-thread state.
}

} // namespace toastctl
