// user32 stand-in. Window stacking belongs to the X server here, so the calls
// are recorded for tests and answered as Windows would.
#include <windows.h>
#include <winsim/control.h>

#include <QMutex>
#include <QMutexLocker>

namespace {

struct WindowPosLog {
    QMutex mutex;
    QVector<winsim::control::WindowPosCall> calls;
};

WindowPosLog& windowPosLog()
{
    static WindowPosLog log;
    return log;
}

} // namespace

extern "C" BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int, int, int, int, UINT uFlags)
{
    if (!hWnd)
        return FALSE;
    QMutexLocker lock(&windowPosLog().mutex);
    windowPosLog().calls.append({reinterpret_cast<quintptr>(hWnd), reinterpret_cast<qintptr>(hWndInsertAfter), uFlags});
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
