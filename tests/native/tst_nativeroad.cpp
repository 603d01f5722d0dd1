// The native road as a host meets it: the module loaded by its exports, its toasts shown and their events raised
// by the platform. Built twice: on Linux against the simulated platform, and for Windows, where it runs under Wine
// against the same classes registered as a runtime component (tests/windows/run.sh).
#include "callbackhost.h"
#include "logcapture.h"
#include "modulelibrary.h"
#include "nativeexample.h"
#include "recordinglistener.h"
#include "testdata.h"
#include "toasteventhandler.h"
#include "umxloggerlite.h"

#include <shlobj.h>

#include <QtTest>

#include <cstdio>

#ifdef Q_OS_WIN
#include "componentclient.h"
#else
#include "fifofeeder.h"
#include "shortcutbytes.h"
#include <winsim/control.h>
namespace sim = winsim::control;
#endif

using Request = QMap<int, QVariant>;
using namespace ABI::Windows::UI::Notifications;
using ABI::Windows::Foundation::ITypedEventHandler;
using Microsoft::WRL::ComPtr;
using ActivatedHandler = ITypedEventHandler<ToastNotification*, IInspectable*>;
using DismissedHandler = ITypedEventHandler<ToastNotification*, ToastDismissedEventArgs*>;
using FailedHandler = ITypedEventHandler<ToastNotification*, ToastFailedEventArgs*>;

namespace {

const QString k_appId = QStringLiteral("Orvex.Office.Desktop");
const QString k_activated = QStringLiteral("SystemToastNotify::attachActivated::<lambda>::operator ()");
const QString k_dismissed = QStringLiteral("SystemToastNotify::attachDismissed::<lambda>::operator ()");
const QString k_failed = QStringLiteral("SystemToastNotify::attachFailed::<lambda>::operator ()");

QString line(const QString& where, const QString& message)
{
    return QStringLiteral("call %1 : %2").arg(where, message);
}

// The module's log lines, "* " before those written on the platform's event thread.
struct Log : LogCapture
{
    explicit Log(bool throwThere = false) : LogCapture(&sim::isPlatformEventThread, throwThere) {}
};

// A one-line toast with these actions.
Request request(const QStringList& actions)
{
    QStringList json;
    for (const QString& action : actions)
        json << QJsonDocument(QJsonObject{{"text", "caption " + action}, {"action", action}}).toJson(QJsonDocument::Compact);
    return {{0, 0}, {5, QStringList{"a"}}, {10, json}};
}

// Raises "activated:ARGUMENTS", "dismissed:REASON" or "failed:CODE" on the toast shown last.
bool raiseEvent(const QString& event)
{
    const auto shown = sim::shownToasts();
    const quint64 key = shown.isEmpty() ? 0 : shown.last().key;
    const QString kind = event.section(QLatin1Char(':'), 0, 0);
    const QString value = event.section(QLatin1Char(':'), 1);
    if (kind == QLatin1String("activated"))
        return sim::raiseActivated(key, value);
    if (kind == QLatin1String("dismissed"))
        return sim::raiseDismissed(key, value.toInt());
    return sim::raiseFailed(key, value.toInt());
}

// Every event raised so far through its handlers and then to the listener.
bool settle()
{
    if (!sim::waitForPlatformEvents(10000))
        return false;
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return true;
}

// Which of IUnknown, IInspectable and the three handlers' interfaces a handler answers ("1" for each), and whether
// its references count down to the end of its function object.
template <class Handler, class Args>
QString handlerAnswers()
{
    auto token = std::make_shared<int>(0);
    const std::weak_ptr<int> alive = token;
    ComPtr<Handler> handler = makeToastEventHandler<Handler, Args>([token](IToastNotification*, Args*) { return S_OK; });
    token.reset();
    QString answers;
    for (const IID& iid : {__uuidof(IUnknown), __uuidof(IInspectable), __uuidof(ActivatedHandler), __uuidof(DismissedHandler),
                           __uuidof(FailedHandler)}) {
        ComPtr<IUnknown> out;
        answers += QLatin1Char(SUCCEEDED(handler->QueryInterface(iid, reinterpret_cast<void**>(out.GetAddressOf()))) ? '1' : '0');
    }
    Handler* raw = handler.Detach();
    const bool counted = raw->Invoke(nullptr, nullptr) == S_OK && !alive.expired() && raw->Release() == 0 && alive.expired();
    return answers + (counted ? " counted" : " miscounted");
}

} // namespace

class TestNativeRoad : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void handlers();
    void shownDocument_data();
    void shownDocument();
    void events_data();
    void events();
    void hide();
    void handlerThrows();
    void hostLetsGo();
    void callBackFromReport_data();
    void callBackFromReport();
    void unloadWhileToastsUp();
    void lastReferenceInHandler();
#ifndef Q_OS_WIN
    void identity_data();
    void identity();
#endif

private:
    ModuleLibrary m_module;
    ISystemNotifyToast* m_service = nullptr;
    std::shared_ptr<RecordingListener> m_listener;
    Log* m_log = nullptr;
    quint64 m_lastShownId = 0;
#ifndef Q_OS_WIN
    int m_objects = 0;
    int m_strings = 0;
    FifoFeeder m_fifo{QStringLiteral("image.png"), QByteArray()}; // "$FIFO" in rows
#endif
};

void TestNativeRoad::initTestCase()
{
#ifndef Q_OS_WIN
    sim::pinOsVersion(QVersionNumber(10, 0, 19045));
#endif
    QVERIFY2(m_module.isLoaded(), qPrintable(m_module.errorString()));
    QVERIFY(m_module.isSupported());
    ISystemNotifyToast* service = m_module.create(false);
    QCOMPARE(service->showToast(request({}), {}), quint64(0)); // nothing before init
    Log log;
    QVERIFY(service->init({{QStringLiteral("appUserModeId"), k_appId}}));
    m_module.destroy(service);
#ifdef Q_OS_WIN
    // The module's first activation loads the component.
    QVERIFY2(sim::eventThreadId() != 0, qPrintable("winsimcomponent.dll not activated; init logged:\n" + log.lines().join('\n')));
    QVERIFY(!sim::isPlatformEventThread());
#endif
}

void TestNativeRoad::init()
{
#ifndef Q_OS_WIN
    sim::reset();
    sim::pinOsVersion(QVersionNumber(10, 0, 19045)); // a row may have pinned another
    m_objects = sim::liveObjects();
    m_strings = sim::liveStrings();
#endif
    m_log = new Log;
    m_listener = std::make_shared<RecordingListener>();
    m_service = m_module.create(false);
    QVERIFY(m_service->init({{QStringLiteral("appUserModeId"), k_appId}}));
}

void TestNativeRoad::cleanup()
{
    QVERIFY(settle());
    m_module.destroy(m_service);
    delete m_log;
    sim::clearShownToasts(); // the notifications go, and with them the handlers
#ifndef Q_OS_WIN
    QVERIFY(settle());
    QCOMPARE(sim::liveObjects(), m_objects);
    QCOMPARE(sim::liveStrings(), m_strings);
    QCOMPARE(sim::invalidStringReleases(), 0);
#endif
}

void TestNativeRoad::handlers()
{
    QCOMPARE((handlerAnswers<ActivatedHandler, IInspectable>()), QString("10100 counted"));
    QCOMPARE((handlerAnswers<DismissedHandler, IToastDismissedEventArgs>()), QString("10010 counted"));
    QCOMPARE((handlerAnswers<FailedHandler, IToastFailedEventArgs>()), QString("10001 counted"));
}

// Each row's document and log lines (after init's) are the entries of its name in nativeservice.txt; no document:
// refused. A row with a version is shown on that version of the simulated platform only.
void TestNativeRoad::shownDocument_data()
{
    QTest::addColumn<Request>("request");
    QTest::addColumn<QString>("version");
    QTest::newRow("full example") << fullNativeExample() << "";
    QTest::newRow("missing lines stay empty") << Request{{0, 3}, {5, QStringList{"one"}}} << "";
    QTest::newRow("empty middle line") << Request{{0, 3}, {5, QStringList{"a", "", "c"}}} << "";
    QTest::newRow("extra lines ignored") << Request{{0, 0}, {5, QStringList{"one", "two", "three"}}} << "";
    QTest::newRow("hero on text template keeps legacy binding") << Request{{0, 1}, {5, QStringList{"a", "b"}}, {6, "C:/h.png"}} << "";
    QTest::newRow("markup in text and action")
        << Request{{0, 0}, {5, QStringList{"<b>&\"x\"</b>"}}, {10, QStringList{"{\"text\":\"a<b\",\"action\":\"q=\\\"1\\\"&r\"}"}}} << "";
    QTest::newRow("no type: refused") << Request{{5, QStringList{"a"}}} << "";
    QTest::newRow("type 8: refused after the template") << Request{{0, 8}, {5, QStringList{"a"}}, {6, "C:/h.png"}} << "";
    // Each type's template, and as many of three lines as it holds.
    for (int type : {0, 1, 2, 3, 4, 5, 6, 7, -1, 0x7fffffff})
        QTest::addRow("request type %d", type) << Request{{0, type}, {5, QStringList{"one", "two", "three"}}} << "";
    const QString longPath = QStringLiteral("C:/") + QString(257, QLatin1Char('p')); // 260 in all
    QTest::newRow("duration 1 is short") << Request{{0, 0}, {5, "a"}, {8, 1}} << "";
    QTest::newRow("duration 3 is short") << Request{{0, 0}, {5, "a"}, {8, 3}} << "";
    QTest::newRow("duration after an action") << Request{{0, 0}, {5, "a"}, {10, QStringList{R"({"text":"A","action":"a"})"}}, {8, 1}} << "";
    QTest::newRow("audio loop without path") << Request{{0, 0}, {5, "a"}, {13, 2}} << "";
    QTest::newRow("audio silent with path") << Request{{0, 0}, {5, "a"}, {12, "C:/a.wav"}, {13, 1}} << "";
    QTest::newRow("image of 260 characters") << Request{{0, 4}, {5, "a"}, {3, longPath}} << "";
    QTest::newRow("image of 261 characters refused") << Request{{0, 4}, {5, "a"}, {3, longPath + 'x'}} << "";
    QTest::newRow("inline image on 14393") << Request{{0, 4}, {5, "a"}, {6, "C:/h.png"}, {11, true}} << "";
#ifndef Q_OS_WIN
    QTest::newRow("no hero image before 14393") << Request{{0, 4}, {5, "a"}, {6, "C:/h.png"}} << "10.0.10586";
    QTest::newRow("hero image on 14393") << Request{{0, 4}, {5, "a"}, {6, "C:/h.png"}} << "10.0.14393";
    // The server would block reading them; a missing file goes on as it is (the full example's).
    QTest::newRow("image a FIFO, hero a device: left out") << Request{{0, 4}, {5, QStringList{"a"}}, {3, "$FIFO"}, {6, "/dev/zero"}} << "";
#endif
}

void TestNativeRoad::shownDocument()
{
    QFETCH(Request, request);
    QFETCH(QString, version);
    QString fifo;
#ifndef Q_OS_WIN
    QVERIFY(m_fifo.isValid());
    fifo = m_fifo.path();
    if (!version.isEmpty())
        sim::pinOsVersion(QVersionNumber::fromString(version));
#endif
    for (QVariant& value : request) {
        if (value.toString() == QLatin1String("$FIFO")) // not ==: Qt 5 would read "$FIFO" as the bool true
            value = fifo;
    }
    const int before = sim::shownToasts().size();
    const quint64 id = m_service->showToast(request, m_listener);
    const QString tag = QString::fromLatin1(QTest::currentDataTag());
    const QString golden = testdata::text(QStringLiteral("nativeservice.txt"), tag);
    const auto shown = sim::shownToasts();
    QCOMPARE(shown.size(), before + (id != 0 ? 1 : 0));
    QCOMPARE(id != 0, !golden.isEmpty());
    if (id != 0) {
        QCOMPARE(shown.last().xml, golden);
        QCOMPARE(shown.last().appUserModelId, k_appId);
        QVERIFY(shown.last().onScreen);
        QVERIFY(m_service->isToastExist(id));
        // Ids come from one counter of the process, whatever the service; refusals draw none.
        QVERIFY(m_lastShownId == 0 || id == m_lastShownId + 1);
        m_lastShownId = id;
    }
    QStringList expected = testdata::lines(QStringLiteral("nativeservice.txt"), QStringLiteral("init"))
                           + testdata::lines(QStringLiteral("nativeservice.txt"), tag + " log");
    QCOMPARE(m_log->lines(), expected.replaceInStrings("$ID", QString::number(id)).replaceInStrings("$FIFO", fifo));
}

void TestNativeRoad::events_data()
{
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<QString>("event");
    QTest::addColumn<QStringList>("heard");
    QTest::addColumn<QStringList>("lines");
    const QStringList two{"open", "later"};
    const auto activation = [](const QString& arguments) {
        return QStringList{"* " + line(k_activated, "call lambda string : " + arguments),
                           line("SystemToastNotify::onActivated", "action : " + arguments)};
    };
    QTest::newRow("second action") << two << "activated:later" << QStringList{"activated 1 1 later"} << activation("later");
    QTest::newRow("first of two equal") << QStringList{"same", "same"} << "activated:same" << QStringList{"activated 1 0 same"}
                                        << activation("same");
    QTest::newRow("no match, case and all") << QStringList{"Open"} << "activated:open" << QStringList() << activation("open");
    QTest::newRow("body click") << two << "activated:" << QStringList() << activation("");
    const QString odd = QStringLiteral("a&b <c> \"ü\"");
    QTest::newRow("markup and unicode") << QStringList{"x", odd} << "activated:" + odd << QStringList{"activated 1 1 " + odd}
                                        << activation(odd);
    // Reasons outside the three the platform defines are the user's.
    const int reasons[][2] = {{0, 0}, {1, 1}, {2, 2}, {3, 0}, {-1, 0}};
    for (const auto& r : reasons) {
        QTest::addRow("dismissal reason %d", r[0])
            << two << QStringLiteral("dismissed:%1").arg(r[0]) << QStringList{QStringLiteral("dismissed %1").arg(r[1])}
            << QStringList{"* " + line(k_dismissed, QStringLiteral("reason:%1").arg(r[1])),
                           line("SystemToastNotify::onDismissed", QStringLiteral("reason : %1").arg(r[1]))};
    }
    const auto failure = [](qint32 code) {
        return QStringList{"* " + line(k_failed, QStringLiteral("error:%1").arg(code)),
                           line("SystemToastNotify::onFailed", QStringLiteral("errorCode : %1").arg(code))};
    };
    QTest::newRow("failure") << two << "failed:-2147023728" << QStringList{"failed -2147023728"} << failure(-2147023728);
    QTest::newRow("failure, positive code") << two << "failed:1" << QStringList{"failed 1"} << failure(1);
#ifndef Q_OS_WIN
    QTest::newRow("failure, code unreadable") << two << "unreadable:1" << QStringList{"failed -2147467259"} << failure(-2147467259);
#endif
}

// Raised on the platform's thread, heard once on the host's.
void TestNativeRoad::events()
{
    QFETCH(QStringList, actions);
    QFETCH(QString, event);
    QFETCH(QStringList, heard);
    QFETCH(QStringList, lines);
    const quint64 id = m_service->showToast(request(actions), m_listener);
    QVERIFY(id != 0);
#ifndef Q_OS_WIN
    if (event.startsWith("unreadable")) {
        sim::failCall(QStringLiteral("IToastFailedEventArgs::get_ErrorCode"), qint32(0x80070057));
        event.replace("unreadable", "failed");
    }
#endif
    Log log;
    QVERIFY(raiseEvent(event));
    QVERIFY(settle());
    QCOMPARE(m_listener->heard(id), heard);
    QCOMPARE(log.lines(), lines);
}

// hideToast takes the toast off the screen and reports one dismissal, reason 0: not the activation still queued
// for the host's thread, nor the platform's own "hidden" after it; the platform holds the handlers' last references.
void TestNativeRoad::hide()
{
    const quint64 id = m_service->showToast(request({"open"}), m_listener);
    QVERIFY(id != 0);
    const int keptAlive = sim::handlersKeptAlive();
    QVERIFY(raiseEvent("activated:open"));
    QVERIFY(sim::waitForPlatformEvents(10000));
    QVERIFY(m_service->hideToast(id));
    QVERIFY(!sim::shownToasts().last().onScreen);
    QVERIFY(m_service->isToastExist(id));
    QVERIFY(m_service->hideToast(id)); // nothing left to hide, still known
    QVERIFY(!m_service->hideToast(id + 1000));
    QVERIFY(!m_service->updateToast(id, request({})));
    QVERIFY(settle());
    QCOMPARE(m_listener->heard(id), QStringList{"dismissed 0"});
    QCOMPARE(sim::handlersKeptAlive(), keptAlive);
}

// A handler that throws (here the host's log, as out of memory would) lets nothing reach the platform: the event
// is lost, the process and the toast live on.
void TestNativeRoad::handlerThrows()
{
    const quint64 id = m_service->showToast(request({"open"}), m_listener);
    {
        Log throwing(true);
        QVERIFY(raiseEvent("activated:open") && raiseEvent("dismissed:2") && raiseEvent("failed:1"));
        QVERIFY(sim::waitForPlatformEvents(10000));
    }
    QVERIFY(raiseEvent("activated:open"));
    QVERIFY(settle());
    QCOMPARE(m_listener->heard(id), QStringList{"activated 1 0 open"});
}

// The host lets go while events are on their way: of every other listener at once, and of a second service with
// its toasts (odd ones). Nobody left hears anything; the others hear each event once, all of them while all lives.
void TestNativeRoad::hostLetsGo()
{
    ISystemNotifyToast* second = m_module.create(false);
    QVERIFY(second->init({{QStringLiteral("appUserModeId"), k_appId}}));
    QVector<std::shared_ptr<RecordingListener>> watched;
    QVector<quint64> ids;
    for (int i = 0; i < 200; ++i) {
        auto listener = std::make_shared<RecordingListener>();
        ids << (i % 2 ? second : m_service)->showToast(request({"other", QStringLiteral("act-%1").arg(i)}), listener);
        QVERIFY(ids.last() != 0);
        QVERIFY(raiseEvent(QStringLiteral("activated:act-%1").arg(i)));
        QVERIFY(raiseEvent(QStringLiteral("dismissed:%1").arg(i % 3)));
        QVERIFY(raiseEvent(QStringLiteral("failed:%1").arg(-i)));
        watched << (i % 4 < 2 ? listener : nullptr);
        if (i % 50 == 0)
            QCoreApplication::processEvents();
    }
    m_module.destroy(second);
    QVERIFY(settle());
    const auto all = [](int i) {
        return QStringList{QStringLiteral("activated 1 1 act-%1").arg(i), QStringLiteral("dismissed %1").arg(i % 3),
                           QStringLiteral("failed %1").arg(-i)};
    };
    for (int i = 0; i < ids.size(); i += 4) {
        QCOMPARE(watched[i]->heard(ids[i]), all(i));
        QStringList heard = watched[i + 1]->heard(ids[i + 1]);
        for (const QString& call : heard)
            QVERIFY2(all(i + 1).contains(call), qPrintable(call));
        QCOMPARE(heard.removeDuplicates(), 0);
    }
}

void TestNativeRoad::callBackFromReport_data()
{
    addCallbackRows({QStringLiteral("native")});
}

// A listener that calls the service back, or deletes it, from inside each report.
void TestNativeRoad::callBackFromReport()
{
    const auto raiseTrigger = [](const QString& trigger) {
        return raiseEvent(trigger == "activated" ? "activated:open" : trigger == "failed" ? "failed:-2147467259" : "dismissed:2");
    };
    runCallbackRow(m_module, raiseTrigger, &settle);
}

// The host frees the module while toasts are up, and the platform raises their events. In a child process: the
// module must be loaded there only once for the unload to count, and the failure is a crash.
void TestNativeRoad::unloadWhileToastsUp()
{
    QProcess child;
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--unload-child")});
    QVERIFY(child.waitForFinished(60000));
    const QString output = QString::fromLocal8Bit(child.readAll());
    QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0 && output.contains("host lives on"),
             qPrintable(QStringLiteral("status %1, code 0x%2: %3").arg(child.exitStatus()).arg(uint(child.exitCode()), 0, 16).arg(output)));
}

// The host deletes the service while a handler runs: the handler's reference is then the toast object's last, and
// the object must go on the host's thread, after reporting the event it was handling.
void TestNativeRoad::lastReferenceInHandler()
{
    QSemaphore inHandler;
    QSemaphore released;
    UmxLoggerLite::setSink([&](const std::wstring&, const std::wstring&) {
        if (sim::isPlatformEventThread()) {
            inHandler.release();
            released.tryAcquire(1, 5000);
        }
    });
    const quint64 id = m_service->showToast(request({"open"}), m_listener);
    QVERIFY(raiseEvent("activated:open"));
    QVERIFY(inHandler.tryAcquire(1, 5000));
    m_module.destroy(m_service);
    m_service = nullptr;
    released.release();
    QVERIFY(settle());
    UmxLoggerLite::setSink({});
    QCOMPARE(m_listener->heard(id), QStringList{"activated 1 0 open"});
}

#ifndef Q_OS_WIN
void TestNativeRoad::identity_data()
{
    QTest::addColumn<QString>("configured"); // the id given to init
    QTest::addColumn<QString>("process");    // the process's explicit id
    QTest::addColumn<QString>("lnkPath");    // the shortcut given to init: "given", "missing" or none
    QTest::addColumn<QString>("appName");
    QTest::addColumn<QString>("placedIn");   // where a shortcut is: "given", "user", "common" or nowhere
    QTest::addColumn<QString>("lnkId");      // the id it carries
    QTest::addColumn<QString>("used");       // the shortcut the service must open
    QTest::addColumn<QString>("chosen");     // the id toasts are shown under, and the shortcut carries after init
    const QString app = QStringLiteral("Orvex Office");
    const QString other = QStringLiteral("Other.Id");
    QTest::newRow("configured id, stamped") << k_appId << "Process.Id" << "given" << "" << "given" << "" << "given" << k_appId;
    QTest::newRow("process id, stamped") << "" << "Process.Id" << "given" << "" << "given" << "" << "given" << "Process.Id";
    QTest::newRow("no id: left alone, nothing shown") << "" << "" << "given" << "" << "given" << "" << "given" << "";
    QTest::newRow("the shortcut's id wins") << k_appId << "" << "given" << "" << "given" << other << "given" << other;
    QTest::newRow("by name: per-user folder first") << k_appId << "" << "" << app << "user" << "" << "user" << k_appId;
    QTest::newRow("by name: all-users folder") << k_appId << "" << "" << app << "common" << "" << "common" << k_appId;
    QTest::newRow("by name: all-users even when missing") << k_appId << "" << "" << app << "" << "" << "common" << k_appId;
    QTest::newRow("given path missing: by name") << k_appId << "" << "missing" << app << "user" << "" << "user" << k_appId;
    QTest::newRow("nothing to go by") << k_appId << "" << "" << "" << "user" << "" << "" << k_appId;
}

void TestNativeRoad::identity()
{
    QFETCH(QString, configured);
    QFETCH(QString, process);
    QFETCH(QString, lnkPath);
    QFETCH(QString, appName);
    QFETCH(QString, placedIn);
    QFETCH(QString, lnkId);
    QFETCH(QString, used);
    QFETCH(QString, chosen);
    QTemporaryDir dir;
    qputenv("XDG_DATA_HOME", dir.filePath("user").toLocal8Bit());
    const QString name = QStringLiteral("Orvex Office.lnk");
    const QMap<QString, QString> paths{{"given", dir.filePath(name)}, {"missing", dir.filePath("missing.lnk")},
                                       {"user", dir.filePath("user/applications/" + name)}, {"common", dir.filePath("common/" + name)}};
    QVERIFY(QDir().mkpath(dir.filePath("user/applications")) && QDir().mkpath(dir.filePath("common")));
    sim::setFolderPath(CSIDL_COMMON_PROGRAMS, dir.filePath("common"));
    QFile shortcut(paths.value(placedIn));
    if (!placedIn.isEmpty()) {
        QVERIFY(shortcut.open(QIODevice::WriteOnly) && shortcut.write(shortcutbytes::shellStyleShortcut()) > 0);
        shortcut.close();
        // Stamped as another service of its own would.
        ISystemNotifyToast* stamper = m_module.create(false);
        QVERIFY(lnkId.isEmpty() || stamper->init({{"appUserModeId", lnkId}, {"startMenuLnkPath", shortcut.fileName()}}));
        m_module.destroy(stamper);
    }
    const auto read = [](const QString& path) {
        QFile file(path);
        return QFile::exists(path) && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QString path = paths.value(used);
    const QByteArray before = read(path);
    sim::setProcessAppUserModelId(process);
    ISystemNotifyToast* service = m_module.create(false);
    Log log;
    QVERIFY(service->init({{"appUserModeId", configured}, {"startMenuLnkPath", paths.value(lnkPath)}, {"appName", appName}}));
    const quint64 id = service->showToast(request({}), {});
    m_module.destroy(service);
    QVERIFY2(log.lines().contains(line("SystemToastWinImpl::updateLnk", "last lnk:" + path)), qPrintable(log.lines().join('\n')));
    // Without any id the platform refuses a notifier.
    QCOMPARE(id != 0, !chosen.isEmpty());
    if (id != 0)
        QCOMPARE(sim::shownToasts().last().appUserModelId, chosen);
    if (!before.isEmpty()) {
        QCOMPARE(shortcutbytes::stringProperty(read(path), shortcutbytes::appUserModelFormat(), 5), chosen);
        QCOMPARE(read(path) != before, lnkId != chosen);
    }
}
#endif

namespace {

// The child of unloadWhileToastsUp: shows two toasts, deletes the service, frees the library, raises their events.
int unloadChild()
{
#ifndef Q_OS_WIN
    sim::pinOsVersion(QVersionNumber(10, 0, 19045));
#endif
    ModuleLibrary library;
    ISystemNotifyToast* service = library.isLoaded() ? library.create(false) : nullptr;
    if (!service || !service->init({{QStringLiteral("appUserModeId"), k_appId}}))
        return 11;
    auto listener = std::make_shared<RecordingListener>();
    if (service->showToast(request({"open"}), listener) == 0 || service->showToast(request({}), listener) == 0)
        return 12;
    library.destroy(service);
    library.unload();
    const auto shown = sim::shownToasts();
    if (shown.size() != 2 || !sim::raiseActivated(shown[0].key, QStringLiteral("open")) || !sim::raiseDismissed(shown[1].key, 0)
        || !sim::raiseFailed(shown[1].key, -2147467259))
        return 13;
    if (!sim::waitForPlatformEvents(10000))
        return 14;
    QCoreApplication::processEvents();
    sim::clearShownToasts(); // the notifications go, and with them the handlers
    std::printf("host lives on, listener calls: %d\n", listener->count());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
#ifdef Q_OS_WIN
    // The host's GUI thread has COM initialised before it loads the module.
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 20;
#endif
    QCoreApplication app(argc, argv);
    if (app.arguments().contains(QStringLiteral("--unload-child")))
        return unloadChild();
    TestNativeRoad test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_nativeroad.moc"
