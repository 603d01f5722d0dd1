// Guards hosts as they are: a listener that calls any operation back, the service's deletion included, from any
// report of any road; a host that quits its loop and exits while a popup fades out. Runs under Xvfb with a tray
// (scripts/with-tray.sh); the quitting hosts are child processes on the offscreen platform.
#include "callbackhost.h"
#include "modulelibrary.h"

#include <winsim/control.h>

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QtTest>

class TestHostCallbacks : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void callBackFromReport_data();
    void callBackFromReport();
    void quitWhileFadingOut_data();
    void quitWhileFadingOut();

private:
    ModuleLibrary m_module;
};

void TestHostCallbacks::initTestCase()
{
    QVERIFY2(m_module.isLoaded(), qPrintable(m_module.errorString()));
}

void TestHostCallbacks::callBackFromReport_data()
{
    addCallbackRows({"native", "popup", "tray"});
}

void TestHostCallbacks::callBackFromReport()
{
    QFETCH(QString, road);
    winsim::control::reset();
    winsim::control::pinOsVersion(road == "tray" ? QVersionNumber(6, 3, 9600) : QVersionNumber(10, 0, 19045));
    const auto raise = [](const QString& trigger) {
        if (trigger == "balloon") {
            if (!QTest::qWaitFor([] { return shownWindow("QBalloonTip") != nullptr; }))
                return false;
            QTest::mouseClick(shownWindow("QBalloonTip")->windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
            return true;
        }
        const quint64 key = winsim::control::shownToasts().last().key;
        if (trigger == "activated")
            return winsim::control::raiseActivated(key, "open");
        return trigger == "failed" ? winsim::control::raiseFailed(key, qint32(0x80004005)) : winsim::control::raiseDismissed(key, 2);
    };
    runCallbackRow(m_module, raise, [] { return winsim::control::waitForPlatformEvents(); });
}

void TestHostCallbacks::quitWhileFadingOut_data()
{
    QTest::addColumn<QString>("when");
    // The last steps of the fade, the turn it ends in (the popup hides inside it), and the turns after.
    for (const char* when : {"opacity 0.3", "opacity 0.1", "hidden +0", "hidden +1", "hidden +2", "hidden +3"})
        QTest::newRow(when) << QString(when);
}

void TestHostCallbacks::quitWhileFadingOut()
{
    QFETCH(QString, when);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    for (int run = 1; run <= 7; ++run) {
        QProcess host;
        host.setProcessEnvironment(environment);
        host.setProcessChannelMode(QProcess::MergedChannels);
        host.start(QCoreApplication::applicationFilePath(), {"--quitting-host", when});
        if (!host.waitForFinished(10000)) {
            host.kill();
            host.waitForFinished();
            QFAIL(qPrintable(QString("run %1: the host did not exit within 10 s").arg(run)));
        }
        QVERIFY2(host.exitStatus() == QProcess::NormalExit && host.exitCode() == 0,
                 qPrintable(QString("run %1: %2").arg(run).arg(QString::fromLocal8Bit(host.readAll()))));
    }
}

namespace {

// A host that shows a popup, hides it once it is fully shown, quits its loop when told, deletes the
// service and destroys its QApplication on the way out, as most hosts do.
int quittingHost(const QString& when)
{
    QApplication::setQuitOnLastWindowClosed(false);
    ModuleLibrary module;
    ISystemNotifyToast* service = module.isLoaded() ? module.create(true) : nullptr;
    if (!service || !service->init({}))
        return 11;
    const quint64 id = service->showToast({{0, 4}, {5, QStringList{"Saved"}}}, {});
    const QPointer<QWidget> popup = shownWindow("ApplicationToastWidget");
    if (!popup)
        return 12;
    const int turnsAfter = when.startsWith("hidden") ? when.section('+', 1).toInt() : -1;
    const double opacity = when.startsWith("opacity") ? when.section(' ', 1).toDouble() : -1;
    bool hiding = false;
    int hiddenFor = -1; // turns since the popup hid
    struct HideWatch : QObject
    {
        std::function<void()> hid;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Hide)
                hid();
            return false;
        }
    } watch;
    watch.hid = [&] {
        hiddenFor = 0;
        if (turnsAfter == 0)
            QCoreApplication::quit();
    };
    popup->installEventFilter(&watch);
    QTimer turn;
    QObject::connect(&turn, &QTimer::timeout, [&] {
        if (hiddenFor >= 0) {
            // A busy machine may skip the fade's last steps: then the turn after it ends.
            if (++hiddenFor == turnsAfter || opacity >= 0)
                QCoreApplication::quit();
        } else if (!hiding && popup->windowOpacity() >= 1.0) {
            hiding = service->hideToast(id);
        } else if (hiding && popup->windowOpacity() <= opacity) {
            QCoreApplication::quit();
        }
    });
    turn.start(0);
    QCoreApplication::exec();
    module.destroy(service);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int at = app.arguments().indexOf("--quitting-host");
    if (at > 0)
        return quittingHost(app.arguments().value(at + 1));
    TestHostCallbacks test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hostcallbacks.moc"
