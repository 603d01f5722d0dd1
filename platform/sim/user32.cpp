// user32 stand-in. A window handle is the native id of a Qt window here, so
// SetWindowPos finds that window and gives it the Windows effect: stacking,
// the topmost state, position, size, visibility and activation. Every call is
// also recorded for tests.
#include <windows.h>
#include <winsim/control.h>

#include <QGuiApplication>
#include <QLoggingCategory>
#include <QMutex>
#include <QMutexLocker>
#include <QThread>
#include <QWindow>

namespace {

Q_LOGGING_CATEGORY(lcUser32, "winsim.user32")

struct WindowPosLog {
    QMutex mutex;
    QVector<winsim::control::WindowPosCall> calls;
};

WindowPosLog& windowPosLog()
{
    static WindowPosLog log;
    return log;
}

bool onGuiThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

QWindow* windowOf(HWND handle)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return nullptr;
    const WId id = WId(reinterpret_cast<quintptr>(handle));
    const QWindowList windows = QGuiApplication::allWindows();
    for (QWindow* window : windows) {
        // Only windows that have a native window: winId() would make one.
        if (window->handle() && window->winId() == id)
            return window;
    }
    return nullptr;
}

// The flag goes to the native window only: a QWidget told to change its
// window flags re-creates its window hidden, and Windows leaves the
// toolkit's idea of the window alone too.
void setTopmost(QWindow* window, bool on)
{
    if (bool(window->flags() & Qt::WindowStaysOnTopHint) != on)
        window->setFlag(Qt::WindowStaysOnTopHint, on);
}

void restack(QWindow* window, HWND insertAfter)
{
    if (insertAfter == HWND_TOPMOST) {
        setTopmost(window, true);
        window->raise();
    } else if (insertAfter == HWND_NOTOPMOST) {
        // Stays where it is, which is above every window that is not topmost;
        // a window manager keeps its own topmost layer above it.
        setTopmost(window, false);
    } else if (insertAfter == HWND_TOP) {
        window->raise();
    } else if (insertAfter == HWND_BOTTOM) {
        setTopmost(window, false);
        window->lower();
    } else {
        qCWarning(lcUser32) << "SetWindowPos: placing a window behind another is not simulated; stacking kept";
    }
}

bool applyWindowPos(HWND handle, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    QWindow* window = windowOf(handle);
    if (!window) {
        qCWarning(lcUser32) << "SetWindowPos: no window" << reinterpret_cast<quintptr>(handle);
        return false;
    }
    if (flags & SWP_HIDEWINDOW)
        window->hide();
    // Windows sizes and places the whole window, frame included.
    if (!(flags & SWP_NOSIZE))
        window->resize(QSize(qMax(cx, 0), qMax(cy, 0)).shrunkBy(window->frameMargins()).expandedTo(QSize(0, 0)));
    if (!(flags & SWP_NOMOVE))
        window->setFramePosition(QPoint(x, y));
    if (!(flags & SWP_NOZORDER))
        restack(window, insertAfter);
    if (flags & SWP_SHOWWINDOW)
        window->show();
    // Qt refuses to activate a window that takes no focus, as Windows does
    // for one that is not to be activated.
    if (!(flags & SWP_NOACTIVATE) && window->isVisible() && !(window->flags() & Qt::WindowDoesNotAcceptFocus))
        window->requestActivate();
    return true;
}

} // namespace

extern "C" BOOL WINAPI SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags)
{
    if (!hWnd)
        return FALSE;
    {
        QMutexLocker lock(&windowPosLog().mutex);
        windowPosLog().calls.append({reinterpret_cast<quintptr>(hWnd), reinterpret_cast<qintptr>(hWndInsertAfter), uFlags});
    }
    if (onGuiThread())
        return applyWindowPos(hWnd, hWndInsertAfter, X, Y, cx, cy, uFlags) ? TRUE : FALSE;
    // Windows live on the GUI thread; from elsewhere the change arrives later.
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return FALSE;
    QMetaObject::invokeMethod(
        app, [=] { applyWindowPos(hWnd, hWndInsertAfter, X, Y, cx, cy, uFlags); }, Qt::QueuedConnection);
    return TRUE;
}

namespace winsim {
namespace control {

QVector<WindowPosCall> windowPosCalls()
{
    QMutexLocker lock(&windowPosLog().mutex);
    return windowPosLog().calls;
}

void clearWindowPosCalls()
{
    QMutexLocker lock(&windowPosLog().mutex);
    windowPosLog().calls.clear();
}

} // namespace control
} // namespace winsim
