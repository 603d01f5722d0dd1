// Guards what a host sees of the module it loads by file name: three exports, the service the system's version
// picks, hostile requests, no exception reaching it when memory runs out, the tray's balloon, a listener calling any
// operation back from any report of any road, and a host that quits while a popup fades out. Runs under Xvfb with a
// tray (scripts/with-tray.sh); the quitting hosts are child processes on the offscreen platform.
#include "vantortoastwrapper.h"

#include "callbackhost.h"
#include "fifofeeder.h"
#include "hostilerequests.h"
#include "logcapture.h"
#include "modulelibrary.h"
#include "recordinglistener.h"

#include <winsim/control.h>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QLabel>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QtTest>

#include <dlfcn.h>
#include <limits>
#include <new>
#include <utility>

namespace {

// Allocations through operator new on this thread until one fails; -1 once it
// has failed; below that nothing fails.
thread_local int t_untilFailure = -2;

// The simulated system a road's service is picked on: Windows 8.1 for the tray, 10 for the others.
void pinSystemFor(const QString& road)
{
    winsim::control::reset();
    winsim::control::pinOsVersion(road == "tray" ? QVersionNumber(6, 3, 9600) : QVersionNumber(10, 0, 19045));
}

} // namespace

void* operator new(std::size_t size)
{
    if (t_untilFailure >= 0 && t_untilFailure-- == 0)
        throw std::bad_alloc();
    // Then the library's own (or a sanitizer's), which every delete pairs with.
    static const auto next = reinterpret_cast<void* (*)(std::size_t)>(dlsym(RTLD_NEXT, "_Znwm"));
    return next(size);
}

class TestHost : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void exportsExactlyThreeFunctions();
    void versionPicksService_data();
    void versionPicksService();
    void hostileRequests_data();
    void hostileRequests();
    void outOfMemory_data();
    void outOfMemory();
    void trayBalloon_data();
    void trayBalloon();
    void callBackFromReport_data();
    void callBackFromReport();
    void quitWhileFadingOut_data();
    void quitWhileFadingOut();

private:
    ModuleLibrary m_module;
};

void TestHost::initTestCase()
{
    QVERIFY2(m_module.isLoaded(), qPrintable(m_module.errorString()));
    QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 30000);
}

void TestHost::exportsExactlyThreeFunctions()
{
    QProcess nm;
    // Exports only: the Qt 6 build's dynamic table also lists a few local symbols, which nothing can bind to.
    nm.start(QStringLiteral("nm"), {"-D", "--defined-only", "--extern-only", QStringLiteral(SNT_MODULE_FILE)});
    QVERIFY(nm.waitForFinished(30000));
    QCOMPARE(nm.exitCode(), 0);
    QStringList symbols;
    for (const QByteArray& line : nm.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() == 3)
            symbols << QString::fromLatin1(fields[1] + ' ' + fields[2]);
    }
    symbols.sort();
    QCOMPARE(symbols, (QStringList{"T createSystemNotifyToast", "T deleteSystemNotifyToast", "T isSupportSystemToast"}));
}

void TestHost::versionPicksService_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<bool>("supported");
    QTest::addColumn<QString>("service"); // the one picked when the host does not draw its own
    QTest::newRow("not windows, no server") << "" << false << "OldSystemNotifyToastWinImpl";
    QTest::newRow("8.1") << "6.3.9600" << false << "OldSystemNotifyToastWinImpl";
    QTest::newRow("10 preview build") << "10.0.10239" << false << "SystemToastWinImpl";
    QTest::newRow("10 first release") << "10.0.10240" << true << "SystemToastWinImpl";
    QTest::newRow("11") << "10.0.22000" << true << "SystemToastWinImpl";
}

void TestHost::versionPicksService()
{
    QFETCH(QString, version);
    QFETCH(bool, supported);
    QFETCH(QString, service);
    winsim::control::pinOsVersion(QVersionNumber::fromString(version));
    QCOMPARE(m_module.isSupported(), supported);
    // As the compiler names a class of the global namespace: its name's length, then the name.
    const auto picked = [](bool appDrawn) {
        return QString(typeid(*VantorToastWrapper(appDrawn).implementation()).name());
    };
    QCOMPARE(picked(false), QString::number(service.size()) + service);
    QCOMPARE(picked(true), QStringLiteral("20ApplicationToastImpl"));
    winsim::control::reset();
}

void TestHost::hostileRequests_data()
{
    addHostileRequestRows();
}

void TestHost::hostileRequests()
{
    QFETCH(Request, request);
    QFETCH(QString, logged);
    LogCapture log;
    auto listener = std::make_shared<RecordingListener>();
    int nativeLines = 0;
    for (const QString road : {"native", "tray", "popup"}) {
        pinSystemFor(road);
        ISystemNotifyToast* service = m_module.create(road == "popup");
        QVERIFY(service->init({{QStringLiteral("appUserModeId"), QStringLiteral("Orvex.Office.Test")}}));
        // Whatever is wrong in it, the request is still a toast: only the bad parts are left out.
        const quint64 id = service->showToast(request, listener);
        QVERIFY(service->isToastExist(id));
        QCOMPARE(service->updateToast(id, request), road == "popup");
        QVERIFY(service->hideToast(id));
        m_module.destroy(service);
        QVERIFY(winsim::control::waitForPlatformEvents());
        QCoreApplication::sendPostedEvents();
        if (!nativeLines)
            nativeLines = log.lines().size();
    }
    winsim::control::reset();
    const QStringList lines = log.lines();
    QVERIFY2(!lines.filter(logged).isEmpty(), qPrintable(lines.join('\n').left(4000)));
    QCOMPARE(lines.size(), nativeLines); // the tray and the popup write none
}

void TestHost::outOfMemory_data()
{
    QTest::addColumn<QString>("road");
    for (const char* road : {"native", "tray", "popup"})
        QTest::newRow(road) << QString(road);
}

// Each allocation of the exports in turn fails (Qt's own code is not written to survive that, so the sweep
// stops at the service's creation): the host hears answers, never an exception, and a facade left without
// its service answers no to everything.
void TestHost::outOfMemory()
{
    QFETCH(QString, road);
    pinSystemFor(road);
    const Request request{{0, 4}, {5, QStringList{"a"}}};
    int stranded = 0;
    for (int n = 0;; ++n) {
        bool escaped = false;
        bool asking = false; // the failure came while the version was asked
        ISystemNotifyToast* service = nullptr;
        t_untilFailure = n; // only the module allocates from here
        try {
            m_module.isSupported();
            asking = t_untilFailure == -1;
            service = m_module.create(road == "popup");
        } catch (...) {
            escaped = true;
        }
        const bool failed = std::exchange(t_untilFailure, -2) == -1;
        QVERIFY2(!escaped, qPrintable(QStringLiteral("allocation %1 failed: an exception reached the host").arg(n)));
        if (service && failed && !asking) {
            ++stranded;
            QVERIFY(!service->init({}));
            const quint64 id = service->showToast(request, {});
            QVERIFY(id == 0 && !service->updateToast(id, request) && !service->hideToast(id) && !service->isToastExist(id));
        }
        m_module.destroy(service);
        if (!failed)
            break;
    }
    QVERIFY2(stranded > 0, "the service's own creation failed somewhere");
}

void TestHost::trayBalloon_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("expiration");
    QTest::addColumn<int>("expectedMs"); // how long the balloon is told to stay
    QTest::addColumn<bool>("fifoIcon"); // the icon path names a FIFO, which must not be opened
    QTest::newRow("given") << QStringList{"Report ready", "Quarterly numbers were exported"} << 1500 << 1500 << false;
    QTest::newRow("default, title only") << QStringList{"Report ready"} << 0 << 10000 << false;
    // Read as 4294967295 ms, more than showMessage's int takes: the longest it does take.
    QTest::newRow("beyond int") << QStringList{"Report ready", "Weeks"} << -1 << std::numeric_limits<int>::max() << false;
    // Opening it would block the GUI thread; the toast goes on without an icon as for a missing file.
    QTest::newRow("icon a FIFO") << QStringList{"Report ready"} << 1500 << 1500 << true;
}

// The balloon a person sees, and what the tray's service answers.
void TestHost::trayBalloon()
{
    QFETCH(QStringList, lines);
    QFETCH(int, expiration);
    QFETCH(int, expectedMs);
    QFETCH(bool, fifoIcon);
    QFile icon(QStringLiteral(SNT_TEST_DATA_DIR "/toast-icon.png"));
    QVERIFY(icon.open(QIODevice::ReadOnly));
    FifoFeeder fifo(QStringLiteral("icon.png"), icon.readAll());
    QVERIFY(fifo.isValid());
    pinSystemFor("tray");
    ISystemNotifyToast* service = m_module.create(false);
    // Each init adds a connection: every click is heard twice.
    QVERIFY(service && service->init({}) && service->init({}));
    auto listener = std::make_shared<RecordingListener>();
    // Without a type there is no toast, and no record of one.
    QCOMPARE(service->showToast({{5, lines}}, listener), quint64(0));
    QVERIFY(!service->isToastExist(0));
    const QMap<int, QVariant> request{{0, lines.size() - 1}, {1, fifoIcon ? fifo.path() : icon.fileName()}, {5, lines},
                                      {9, expiration}, {10, QStringList{R"({"text":"Open","action":"open-file"})"}}};
    QCOMPARE(service->showToast(request, listener), quint64(0));
    QVERIFY(service->isToastExist(0) && !service->updateToast(0, request));
    QVERIFY(!fifo.wasOpened());

    QTRY_VERIFY(shownWindow("QBalloonTip"));
    QWidget* balloon = shownWindow("QBalloonTip");
    QVERIFY2(shownWindow("QSystemTrayIconSys"), "the icon is in the tray");
    // The lines, and the information icon as the style draws it.
    const QIcon info = QApplication::style()->standardIcon(QStyle::SP_MessageBoxInformation);
    QStringList texts;
    bool informs = false;
    for (QLabel* label : balloon->findChildren<QLabel*>()) {
        const QPixmap pixmap = label->property("pixmap").value<QPixmap>();
        informs = informs || (!pixmap.isNull() && pixmap.toImage() == info.pixmap(pixmap.size()).toImage());
        if (!label->text().isEmpty())
            texts << label->text();
    }
    QVERIFY2(informs, "the balloon shows the information icon");
    for (const QString& line : lines)
        QVERIFY2(texts.count(line) == 1, qPrintable(texts.join('|')));
    // The balloon closes itself on a timer of the time it was given. Qt keeps timers of more than 20 s in whole
    // seconds, and reports them back in an int that can wrap: read it unsigned, to the second.
    bool timed = false;
    QStringList intervals;
    for (const auto& timer : QAbstractEventDispatcher::instance()->registeredTimers(balloon)) {
        intervals << QString::number(quint32(timer.interval));
        timed = timed || qAbs(qint64(quint32(timer.interval)) - expectedMs) <= 1000;
    }
    QVERIFY2(timed, qPrintable("timers of the balloon: " + intervals.join(' ')));

    QTest::mouseClick(balloon, Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
    QTRY_COMPARE(listener->heard(0), (QStringList{"activated 1 0 Open", "activated 1 0 Open"}));
    QTRY_VERIFY(!shownWindow("QBalloonTip"));
    // A listener the host has let go of hears nothing, and the click does not crash.
    service->showToast(request, listener);
    listener.reset();
    QTRY_VERIFY(shownWindow("QBalloonTip"));
    QTest::mouseClick(shownWindow("QBalloonTip"), Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
    QTRY_VERIFY(!shownWindow("QBalloonTip"));

    QVERIFY(service->hideToast(0));
    QTRY_VERIFY2(!shownWindow("QSystemTrayIconSys"), "hidden, the icon leaves the tray");
    QVERIFY(service->isToastExist(0));
    m_module.destroy(service);
    m_module.destroy(nullptr);
}

void TestHost::callBackFromReport_data()
{
    addCallbackRows({"popup", "tray"}); // the native road's rows are the native test's
}

void TestHost::callBackFromReport()
{
    QFETCH(QString, road);
    pinSystemFor(road);
    const auto clickBalloon = [](const QString&) {
        if (!QTest::qWaitFor([] { return shownWindow("QBalloonTip") != nullptr; }))
            return false;
        QTest::mouseClick(shownWindow("QBalloonTip")->windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
        return true;
    };
    runCallbackRow(m_module, clickBalloon, [] { return winsim::control::waitForPlatformEvents(); });
}

void TestHost::quitWhileFadingOut_data()
{
    QTest::addColumn<int>("turnsAfter");
    // While the popup fades out, in the turn the fade ends (the popup hides inside it), and in the turns after.
    for (int turns : {-1, 0, 1, 2, 3})
        QTest::newRow(qPrintable(turns < 0 ? QString("fading") : QString("hidden +%1").arg(turns))) << turns;
}

void TestHost::quitWhileFadingOut()
{
    QFETCH(int, turnsAfter);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    for (int run = 1; run <= 7; ++run) {
        QProcess host;
        host.setProcessEnvironment(environment);
        host.setProcessChannelMode(QProcess::MergedChannels);
        host.start(QCoreApplication::applicationFilePath(), {"--quitting-host", QString::number(turnsAfter)});
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

// A host that shows a popup, hides it, and quits its loop while it fades (turnsAfter -1) or that many turns after
// the turn the popup hid in; then it deletes the service and destroys its QApplication, as most hosts do.
int quittingHost(int turnsAfter)
{
    QApplication::setQuitOnLastWindowClosed(false);
    ModuleLibrary module;
    ISystemNotifyToast* service = module.isLoaded() ? module.create(true) : nullptr;
    if (!service || !service->init({}))
        return 11;
    QWidget* popup = service->hideToast(service->showToast({{0, 4}, {5, QStringList{"Saved"}}}, {}))
        ? shownWindow("ApplicationToastWidget") : nullptr;
    if (!popup)
        return 12;
    std::function<void(int)> quitIn = [&](int turns) {
        if (turns <= 0)
            QCoreApplication::quit();
        else
            QTimer::singleShot(0, [&, turns] { quitIn(turns - 1); });
    };
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
    watch.hid = [&] { quitIn(turnsAfter); };
    popup->installEventFilter(&watch);
    if (turnsAfter < 0)
        QTimer::singleShot(0, [] { QCoreApplication::quit(); });
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
        return quittingHost(app.arguments().value(at + 1).toInt());
    TestHost test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_host.moc"
