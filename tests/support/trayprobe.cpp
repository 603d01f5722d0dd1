// Exits 0 once Qt sees a system tray on $DISPLAY, 1 when none came within the given seconds.
#include <QApplication>
#include <QElapsedTimer>
#include <QSystemTrayIcon>
#include <QThread>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 30;
    QElapsedTimer clock;
    clock.start();
    while (!QSystemTrayIcon::isSystemTrayAvailable()) {
        if (clock.elapsed() > seconds * 1000)
            return 1;
        QThread::msleep(100);
        app.processEvents();
    }
    return 0;
}
