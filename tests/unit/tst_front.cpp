// Guards what a host sees of the module: three exported symbols, the version test, the service picked, no request
// crashing it, no exception reaching it.
#include "applicationtoastimpl.h"
#include "oldsystemnotifytoastwinimpl.h"
#include "systemtoastwinimpl.h"
#include "vantortoastwrapper.h"

#include "hostilerequests.h"
#include "logcapture.h"
#include "modulelibrary.h"
#include "recordinglistener.h"

#include <winsim/control.h>

#include <QtTest>

#include <dlfcn.h>
#include <new>
#include <stdexcept>
#include <utility>

namespace {

// Allocations through operator new on this thread until one fails; -1 once it
// has failed; below that nothing fails.
thread_local int t_untilFailure = -2;

} // namespace

void* operator new(std::size_t size)
{
    if (t_untilFailure >= 0 && t_untilFailure-- == 0)
        throw std::bad_alloc();
    // Then the library's own (or a sanitizer's), which every delete pairs with.
    static const auto next = reinterpret_cast<void* (*)(std::size_t)>(dlsym(RTLD_NEXT, "_Znwm"));
    return next(size);
}

class TestFront : public QObject
{
    Q_OBJECT
private slots:
    void exportsExactlyThreeFunctions();
    void versionPicksService_data();
    void versionPicksService();
    void hostileRequests_data();
    void hostileRequests();
    void outOfMemory_data();
    void outOfMemory();
    void throwingListener();
};

void TestFront::exportsExactlyThreeFunctions()
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

void TestFront::versionPicksService_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<bool>("supported");
    QTest::addColumn<QString>("service"); // the one picked when the host does not draw its own
    QTest::newRow("not windows, no server") << "" << false << "tray";
    QTest::newRow("8.1") << "6.3.9600" << false << "tray";
    QTest::newRow("10 preview build") << "10.0.10239" << false << "native";
    QTest::newRow("10 first release") << "10.0.10240" << true << "native";
    QTest::newRow("11") << "10.0.22000" << true << "native";
}

void TestFront::versionPicksService()
{
    QFETCH(QString, version);
    QFETCH(bool, supported);
    QFETCH(QString, service);
    ModuleLibrary module;
    QVERIFY2(module.isLoaded(), qPrintable(module.errorString()));
    winsim::control::pinOsVersion(QVersionNumber::fromString(version));
    QCOMPARE(module.isSupported(), supported);
    const auto kind = [](bool appDrawn) {
        VantorToastWrapper facade(appDrawn);
        ISystemNotifyToast* impl = facade.implementation();
        if (dynamic_cast<OldSystemNotifyToastWinImpl*>(impl))
            return QStringLiteral("tray");
        if (dynamic_cast<ApplicationToastImpl*>(impl))
            return QStringLiteral("popup");
        if (dynamic_cast<SystemToastWinImpl*>(impl))
            return QStringLiteral("native");
        return impl ? QString::fromLatin1(typeid(*impl).name()) : QStringLiteral("none");
    };
    QCOMPARE(kind(false), service);
    QCOMPARE(kind(true), QStringLiteral("popup"));
}

void TestFront::hostileRequests_data()
{
    addHostileRequestRows();
}

void TestFront::hostileRequests()
{
    QFETCH(Request, request);
    QFETCH(QString, logged);
    ModuleLibrary module;
    QVERIFY2(module.isLoaded(), qPrintable(module.errorString()));
    LogCapture log;
    auto listener = std::make_shared<RecordingListener>();
    const struct
    {
        const char* version;
        bool appDrawn;
    } roads[] = {{"10.0.19045", false}, {"6.3.9600", false}, {"10.0.19045", true}}; // native, tray, popup
    int nativeLines = 0;
    for (const auto& road : roads) {
        winsim::control::reset();
        winsim::control::pinOsVersion(QVersionNumber::fromString(QLatin1String(road.version)));
        ISystemNotifyToast* service = module.create(road.appDrawn);
        QVERIFY(service->init({{QStringLiteral("appUserModeId"), QStringLiteral("Orvex.Office.Test")}}));
        // Whatever is wrong in it, the request is still a toast: only the bad parts are left out.
        const quint64 id = service->showToast(request, listener);
        QVERIFY(service->isToastExist(id));
        QCOMPARE(service->updateToast(id, request), road.appDrawn);
        QVERIFY(service->hideToast(id));
        module.destroy(service);
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

void TestFront::outOfMemory_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<bool>("appDrawn");
    QTest::newRow("native") << "10.0.19045" << false;
    QTest::newRow("tray") << "6.3.9600" << false;
    QTest::newRow("popup") << "10.0.19045" << true;
}

// Each allocation of the exports in turn fails (Qt's own code is not written to survive that, so the sweep
// stops at the service's creation): the host hears answers, never an exception, and a facade left without
// its service answers no to everything.
void TestFront::outOfMemory()
{
    QFETCH(QString, version);
    QFETCH(bool, appDrawn);
    ModuleLibrary module;
    QVERIFY2(module.isLoaded(), qPrintable(module.errorString()));
    winsim::control::reset();
    winsim::control::pinOsVersion(QVersionNumber::fromString(version));
    const Request request{{0, 4}, {5, QStringList{"a"}}};
    int stranded = 0;
    for (int n = 0;; ++n) {
        bool escaped = false;
        bool asking = false; // the failure came while the version was asked
        ISystemNotifyToast* service = nullptr;
        t_untilFailure = n; // only the module allocates from here
        try {
            module.isSupported();
            asking = t_untilFailure == -1;
            service = module.create(appDrawn);
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
        module.destroy(service);
        if (!failed)
            break;
    }
    QVERIFY2(stranded > 0, "the service's own creation failed somewhere");
}

// A listener of the host's that throws where the module calls it inside an operation: the operation answers no.
void TestFront::throwingListener()
{
    struct Thrower : RecordingListener
    {
        void onToastDismissed(quint64, int) override { throw std::runtime_error("the host's own"); }
    };
    ModuleLibrary module;
    winsim::control::reset();
    winsim::control::pinOsVersion(QVersionNumber(10, 0, 19045));
    ISystemNotifyToast* service = module.create(false);
    QVERIFY(service->init({{QStringLiteral("appUserModeId"), QStringLiteral("Orvex.Office.Test")}}));
    const auto listener = std::make_shared<Thrower>();
    const quint64 id = service->showToast({{0, 1}, {5, QStringList{"a"}}}, listener);
    QVERIFY(id != 0);
    QVERIFY(!service->hideToast(id));
    QVERIFY(!service->hideToast(id + 1)); // and the service lives on
    module.destroy(service);
    QVERIFY(winsim::control::waitForPlatformEvents());
    winsim::control::reset();
}

QTEST_MAIN(TestFront)
#include "tst_front.moc"
