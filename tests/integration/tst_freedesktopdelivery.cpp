// The freedesktop back end against a notification server of the test's own on
// a private session bus: exact Notify arguments, every answer a server can give.
#include "fakenotificationserver.h"
#include "freedesktopbackend.h"
#include "recordingsink.h"

#include <winsim/control.h>

#include <QDBusConnectionInterface>
#include <QtTest>

using winsim::FreedesktopBackend;
using winsim::ToastDelivery;

namespace {

const QStringList kFullServer = {"actions", "body", "body-markup", "body-hyperlinks", "icon-static"};
const QString kAppId = QStringLiteral("Vantor.Office.Test");

const QString kTwoActions = QStringLiteral(
    "<toast template=\"ToastGeneric\" duration=\"long\"><visual><binding template=\"ToastGeneric\">"
    "<text id=\"1\">Title</text><text id=\"2\">Second line</text></binding></visual>"
    "<actions><action content=\"Reply\" arguments=\"reply\"/><action content=\"Later\" arguments=\"later\"/></actions>"
    "</toast>");

QString textToast(const QString& first, const QString& second)
{
    return QStringLiteral("<toast><visual><binding template=\"ToastText02\"><text id=\"1\">%1</text>"
                          "<text id=\"2\">%2</text></binding></visual></toast>")
        .arg(first.toHtmlEscaped(), second.toHtmlEscaped());
}

QVariantMap withEntry(QVariantMap hints)
{
    hints.insert(QStringLiteral("desktop-entry"), kAppId);
    return hints;
}

} // namespace

class FreedesktopDeliveryTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void notifyArguments_data();
    void notifyArguments();
    void serverEvents_data();
    void serverEvents();
    void hide_data();
    void hide();
    void failures_data();
    void failures();
    void serverLeavesWhileToastsAreUp();
    void burstIsSentInWindows_data();
    void burstIsSentInWindows();
    void serverWithoutActionsIsLogged();
    void detectedVersion_data();
    void detectedVersion();
    void notifierDefault_data();
    void notifierDefault();
};

void FreedesktopDeliveryTest::initTestCase()
{
    // The test claims the notification server's name, so never on a real desktop's bus.
    if (qEnvironmentVariableIsEmpty("WITH_DESKTOP_DIR"))
        QSKIP("needs a private session bus: run it under scripts/with-desktop.sh --bus-only");
}

void FreedesktopDeliveryTest::init()
{
    // The bus drops a vanished server's name a moment after its connection closes.
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    QTRY_VERIFY(!bus->isServiceRegistered(QStringLiteral("org.freedesktop.Notifications")).value());
}

void FreedesktopDeliveryTest::cleanup()
{
    winsim::control::unpinOsVersion();
}

void FreedesktopDeliveryTest::notifyArguments_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<QStringList>("capabilities");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("appIcon");
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<QVariantMap>("hints");
    QTest::addColumn<int>("timeout");

    QTest::newRow("generic toast with everything")
        << QStringLiteral("<toast template=\"ToastGeneric\" duration=\"long\"><visual><binding template=\"ToastGeneric\">"
                          "<image id=\"1\" src=\"file:////tmp/logo.png\" placement=\"appLogoOverride\"/>"
                          "<text id=\"1\">Saved</text><text id=\"2\">Report.docx</text><text placement=\"attribution\">Via sync</text>"
                          "<image placement=\"hero\" src=\"/tmp/hero.png\"/></binding></visual>"
                          "<actions><action content=\"Open\" arguments=\"open\"/><action content=\"Folder\" arguments=\"folder\"/></actions>"
                          "<audio src=\"/tmp/ding.wav\" loop=\"true\"/></toast>")
        << kFullServer << "Saved" << "Report.docx\n<i>Via sync</i>" << "/tmp/logo.png"
        << QStringList{"default", "", "open", "Open", "folder", "Folder"}
        << withEntry({{"image-path", "/tmp/hero.png"}, {"sound-file", "/tmp/ding.wav"}}) << 25000;

    QTest::newRow("markup in texts is escaped for a markup server")
        << textToast("<b>Bold</b> & co", "<b>x</b> & <a href=\"http://e.com\">link</a>") << kFullServer
        << "<b>Bold</b> & co" << "&lt;b&gt;x&lt;/b&gt; &amp; &lt;a href=&quot;http://e.com&quot;&gt;link&lt;/a&gt;"
        << "" << QStringList{"default", ""} << withEntry({}) << -1;

    QTest::newRow("plain server gets plain text")
        << QStringLiteral("<toast><visual><binding template=\"ToastText02\"><text>T</text><text>a &amp; &lt;b&gt;</text>"
                          "<text placement=\"attribution\">by &lt;me&gt;</text></binding></visual></toast>")
        << QStringList{"actions", "body"} << "T" << "a & <b>\nby <me>" << "" << QStringList{"default", ""}
        << withEntry({}) << -1;

    QTest::newRow("server without actions gets none")
        << kTwoActions << QStringList{"body", "body-markup"} << "Title" << "Second line" << "" << QStringList{}
        << withEntry({}) << 25000;

    QTest::newRow("legacy template image is the icon")
        << QStringLiteral("<toast duration=\"short\"><visual><binding template=\"ToastImageAndText02\">"
                          "<image id=\"1\" src=\"file:///home/u/pic.png\"/><text id=\"1\">A</text><text id=\"2\"></text>"
                          "</binding></visual></toast>")
        << kFullServer << "A" << "" << "/home/u/pic.png" << QStringList{"default", ""} << withEntry({}) << 7000;

    QTest::newRow("inline image of a generic toast")
        << QStringLiteral("<toast><visual><binding template=\"ToastGeneric\"><text>A</text>"
                          "<image src=\"/tmp/inline.png\"/></binding></visual></toast>")
        << kFullServer << "A" << "" << "" << QStringList{"default", ""}
        << withEntry({{"image-path", "/tmp/inline.png"}}) << -1;

    QTest::newRow("unfilled template image and unknown duration")
        << QStringLiteral("<toast duration=\"medium\"><visual><binding template=\"ToastImageAndText01\">"
                          "<image id=\"1\" src=\"\"/><text id=\"1\">A</text></binding></visual></toast>")
        << kFullServer << "A" << "" << "" << QStringList{"default", ""} << withEntry({}) << -1;

    QTest::newRow("only the first binding counts")
        << QStringLiteral("<toast><visual><binding template=\"ToastText01\"><text>First</text></binding>"
                          "<binding template=\"ToastText02\"><text>Other</text><text>More</text></binding></visual></toast>")
        << kFullServer << "First" << "" << "" << QStringList{"default", ""} << withEntry({}) << -1;

    QTest::newRow("sound event, silent")
        << QStringLiteral("<toast><visual><binding template=\"ToastText01\"><text>A</text></binding></visual>"
                          "<audio src=\"ms-winsoundevent:Notification.Mail\" silent=\"true\"/></toast>")
        << kFullServer << "A" << "" << "" << QStringList{"default", ""}
        << withEntry({{"sound-name", "message-new-email"}, {"suppress-sound", true}}) << -1;

    QTest::newRow("looping call sound")
        << QStringLiteral("<toast><visual><binding template=\"ToastText01\"><text>A</text></binding></visual>"
                          "<audio src=\"ms-winsoundevent:Notification.Looping.Call3\" loop=\"true\"/></toast>")
        << kFullServer << "A" << "" << "" << QStringList{"default", ""}
        << withEntry({{"sound-name", "phone-incoming-call"}}) << -1;

    QTest::newRow("action arguments that cannot serve as keys")
        << QStringLiteral("<toast><visual><binding template=\"ToastText01\"><text>A</text></binding></visual><actions>"
                          "<action content=\"Empty\" arguments=\"\"/><action content=\"Def\" arguments=\"default\"/>"
                          "<action content=\"X\" arguments=\"x\"/><action content=\"X again\" arguments=\"x\"/>"
                          "</actions></toast>")
        << kFullServer << "A" << "" << ""
        << QStringList{"default", "", "action-1", "Empty", "action-2", "Def", "x", "X", "action-3", "X again"}
        << withEntry({}) << -1;
}

void FreedesktopDeliveryTest::notifyArguments()
{
    QFETCH(QString, xml);
    QFETCH(QStringList, capabilities);

    FakeNotificationServer server(capabilities);
    QVERIFY(server.start());
    FreedesktopBackend backend;
    auto sink = std::make_shared<RecordingSink>();
    backend.show(ToastDelivery{7, kAppId, xml}, sink);

    QTRY_COMPARE(server.calls().size(), 1);
    const FakeNotificationServer::Call call = server.calls().first();
    QCOMPARE(call.appName, kAppId);
    QCOMPARE(call.replacesId, 0u);
    QTEST(call.summary, "summary");
    QTEST(call.body, "body");
    QTEST(call.appIcon, "appIcon");
    QTEST(call.actions, "actions");
    QTEST(call.hints, "hints");
    QTEST(call.timeout, "timeout");
    QCOMPARE(sink->lines(), QStringList());
}

void FreedesktopDeliveryTest::serverEvents_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<QStringList>("serverSignals"); // "action KEY" or "close REASON", in order
    QTest::addColumn<QStringList>("outcome");
    QTest::addColumn<int>("closeCalls"); // -1: the server's own close may come first

    const QString launching = QString(kTwoActions).replace("<toast ", "<toast launch=\"open:42\" ");
    const QString clashing = QStringLiteral(
        "<toast><visual><binding template=\"ToastText01\"><text>A</text></binding></visual><actions>"
        "<action content=\"One\" arguments=\"same\"/><action content=\"Two\" arguments=\"same\"/></actions></toast>");

    // An activated toast is closed on the server, and that close is no dismissal.
    QTest::newRow("second button") << kTwoActions << QStringList{"action later"} << QStringList{"activated later"} << 1;
    QTest::newRow("close after a button is not a dismissal")
        << kTwoActions << QStringList{"action reply", "close 2"} << QStringList{"activated reply"} << -1;
    QTest::newRow("body click") << kTwoActions << QStringList{"action default"} << QStringList{"activated "} << 1;
    QTest::newRow("body click with launch arguments")
        << launching << QStringList{"action default"} << QStringList{"activated open:42"} << 1;
    QTest::newRow("button whose arguments repeat")
        << clashing << QStringList{"action action-1"} << QStringList{"activated same"} << 1;
    QTest::newRow("unknown key passes through")
        << kTwoActions << QStringList{"action bogus"} << QStringList{"activated bogus"} << 1;
    QTest::newRow("expired") << kTwoActions << QStringList{"close 1"} << QStringList{"dismissed 2"} << 0;
    QTest::newRow("dismissed by the user") << kTwoActions << QStringList{"close 2"} << QStringList{"dismissed 0"} << 0;
    QTest::newRow("closed by a call") << kTwoActions << QStringList{"close 3"} << QStringList{"dismissed 1"} << 0;
    QTest::newRow("undefined reason") << kTwoActions << QStringList{"close 4"} << QStringList{"dismissed 3"} << 0;
    QTest::newRow("reason out of range") << kTwoActions << QStringList{"close 90"} << QStringList{"dismissed 3"} << 0;
    QTest::newRow("second close is ignored")
        << kTwoActions << QStringList{"close 2", "close 1"} << QStringList{"dismissed 0"} << 0;
}

void FreedesktopDeliveryTest::serverEvents()
{
    QFETCH(QString, xml);
    QFETCH(QStringList, serverSignals);
    QFETCH(QStringList, outcome);
    QFETCH(int, closeCalls);

    FakeNotificationServer server(kFullServer);
    QVERIFY(server.start());
    FreedesktopBackend backend;
    auto sink = std::make_shared<RecordingSink>();
    auto other = std::make_shared<RecordingSink>();
    backend.show(ToastDelivery{1, kAppId, xml}, sink);
    backend.show(ToastDelivery{2, kAppId, xml}, other);
    QTRY_COMPARE(server.calls().size(), 2);
    const uint id = server.calls().first().id;

    for (const QString& signal : serverSignals) {
        const QString argument = signal.section(' ', 1);
        if (signal.startsWith("action"))
            server.invokeAction(id, argument);
        else
            server.close(id, argument.toUInt());
    }
    if (closeCalls >= 0)
        QTRY_COMPARE(server.closeRequests(), QVector<uint>(closeCalls, id));
    // A close of the other toast marks the end: signals arrive in order.
    server.close(server.calls().at(1).id, 2);
    QTRY_COMPARE(other->lines(), QStringList{"dismissed 0"});
    QCOMPARE(sink->lines(), outcome);
    QVERIFY(!sink->threads().contains(QThread::currentThread()));
}

void FreedesktopDeliveryTest::hide_data()
{
    QTest::addColumn<bool>("holdAnswer");
    QTest::newRow("shown toast") << false;
    QTest::newRow("toast whose Notify is unanswered") << true;
}

void FreedesktopDeliveryTest::hide()
{
    QFETCH(bool, holdAnswer);

    FakeNotificationServer server(kFullServer);
    QVERIFY(server.start());
    if (holdAnswer)
        server.setAnswer(FakeNotificationServer::Answer::Nothing);
    FreedesktopBackend backend;
    auto sink = std::make_shared<RecordingSink>();
    backend.show(ToastDelivery{5, kAppId, kTwoActions}, sink);
    QTRY_COMPARE(server.calls().size(), 1);

    backend.hide(5);
    backend.hide(6); // never shown: nothing to do
    if (holdAnswer) {
        // Served in order: once the next toast arrives, the hide was seen.
        backend.show(ToastDelivery{8, kAppId, kTwoActions}, std::make_shared<RecordingSink>());
        QTRY_COMPARE(server.calls().size(), 2);
        QCOMPARE(server.closeRequests(), QVector<uint>());
        server.answerHeld();
    }
    QTRY_COMPARE(sink->lines(), QStringList{"dismissed 1"});
    QCOMPARE(server.closeRequests(), QVector<uint>{server.calls().first().id});

    // Hiding what has ended sends nothing and reports nothing.
    backend.hide(5);
    server.setAnswer(FakeNotificationServer::Answer::Id);
    backend.show(ToastDelivery{9, kAppId, kTwoActions}, std::make_shared<RecordingSink>());
    QTRY_COMPARE(server.calls().size(), holdAnswer ? 3 : 2);
    QCOMPARE(server.closeRequests().size(), 1);
    QCOMPARE(sink->lines(), QStringList{"dismissed 1"});
}

void FreedesktopDeliveryTest::failures_data()
{
    QTest::addColumn<bool>("serverUp");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("xml");
    QTest::addColumn<int>("hresult");
    QTest::addColumn<int>("notifyCalls");

    const int id = int(FakeNotificationServer::Answer::Id);
    QTest::newRow("no server on the bus") << false << id << kTwoActions << winsim::freedesktop::ServerUnavailable << 0;
    QTest::newRow("error reply") << true << int(FakeNotificationServer::Answer::Error) << kTwoActions
                                 << winsim::freedesktop::ServerRefused << 1;
    QTest::newRow("reply that is not an id") << true << int(FakeNotificationServer::Answer::NotAnId) << kTwoActions
                                             << winsim::freedesktop::BadReply << 1;
    QTest::newRow("no reply in time") << true << int(FakeNotificationServer::Answer::Nothing) << kTwoActions
                                      << winsim::freedesktop::CallTimedOut << 1;
    QTest::newRow("unfinished document") << true << id << QStringLiteral("<toast><visual><binding>")
                                         << winsim::freedesktop::BadDocument << 0;
    QTest::newRow("not a toast") << true << id << QStringLiteral("<html><body/></html>")
                                 << winsim::freedesktop::BadDocument << 0;
    QTest::newRow("empty document") << true << id << QString() << winsim::freedesktop::BadDocument << 0;
}

void FreedesktopDeliveryTest::failures()
{
    QFETCH(bool, serverUp);
    QFETCH(int, answer);
    QFETCH(QString, xml);
    QFETCH(int, hresult);
    QFETCH(int, notifyCalls);

    FakeNotificationServer server(kFullServer);
    if (serverUp)
        QVERIFY(server.start());
    server.setAnswer(FakeNotificationServer::Answer(answer));
    FreedesktopBackend backend(300);
    auto sink = std::make_shared<RecordingSink>();
    backend.show(ToastDelivery{3, kAppId, xml}, sink);

    QTRY_COMPARE(sink->lines(), QStringList{RecordingSink::failure(hresult)});
    QCOMPARE(server.calls().size(), notifyCalls);
    QVERIFY(!sink->threads().contains(QThread::currentThread()));
}

void FreedesktopDeliveryTest::serverLeavesWhileToastsAreUp()
{
    auto server = std::make_unique<FakeNotificationServer>(kFullServer);
    QVERIFY(server->start());
    FreedesktopBackend backend;
    auto shown = std::make_shared<RecordingSink>();
    auto pending = std::make_shared<RecordingSink>();
    backend.show(ToastDelivery{1, kAppId, kTwoActions}, shown);
    QTRY_COMPARE(server->calls().size(), 1);
    server->setAnswer(FakeNotificationServer::Answer::Nothing);
    backend.show(ToastDelivery{2, kAppId, kTwoActions}, pending);
    QTRY_COMPARE(server->calls().size(), 2);

    server->vanish();
    QTRY_COMPARE(shown->lines(), QStringList{"dismissed 3"});
    QTRY_COMPARE(pending->lines(), QStringList{RecordingSink::failure(winsim::freedesktop::ServerGone)});

    // A server that comes back serves the next toast.
    server = std::make_unique<FakeNotificationServer>(kFullServer);
    QVERIFY(server->start());
    auto later = std::make_shared<RecordingSink>();
    backend.show(ToastDelivery{3, kAppId, kTwoActions}, later);
    QTRY_COMPARE(server->calls().size(), 1);
    server->close(server->calls().first().id, 1);
    QTRY_COMPARE(later->lines(), QStringList{"dismissed 2"});
    QCOMPARE(shown->lines().size(), 1);
    QCOMPARE(pending->lines().size(), 1);
}

void FreedesktopDeliveryTest::burstIsSentInWindows_data()
{
    QTest::addColumn<bool>("serverAnswers");
    QTest::newRow("server answers late") << true;
    QTest::newRow("server never answers") << false;
}

void FreedesktopDeliveryTest::burstIsSentInWindows()
{
    QFETCH(bool, serverAnswers);
    constexpr int count = 40;

    FakeNotificationServer server(kFullServer);
    QVERIFY(server.start());
    server.setAnswer(FakeNotificationServer::Answer::Nothing);
    FreedesktopBackend backend(serverAnswers ? 5000 : 300);
    QVector<std::shared_ptr<RecordingSink>> sinks;
    for (int i = 0; i < count; ++i) {
        sinks.append(std::make_shared<RecordingSink>());
        backend.show(ToastDelivery{quint64(100 + i), kAppId, textToast(QString::number(i), "x")}, sinks.last());
    }
    QTRY_VERIFY(server.calls().size() > 0);
    const int window = server.calls().size();
    QVERIFY2(window < count, "every toast went out at once");

    if (serverAnswers) {
        server.setAnswer(FakeNotificationServer::Answer::Id);
        while (server.calls().size() < count) {
            const int sent = server.calls().size();
            server.answerHeld();
            QTRY_VERIFY(server.calls().size() > sent);
        }
        QCOMPARE(server.calls().last().summary, QString::number(count - 1));
        for (const FakeNotificationServer::Call& call : server.calls())
            server.close(call.id, 2);
        for (const auto& sink : qAsConst(sinks))
            QTRY_COMPARE(sink->lines(), QStringList{"dismissed 0"});
    } else {
        // The toasts behind an unanswered window fail with it, not one timeout after another.
        for (const auto& sink : qAsConst(sinks))
            QTRY_COMPARE(sink->lines(), QStringList{RecordingSink::failure(winsim::freedesktop::CallTimedOut)});
        QCOMPARE(server.calls().size(), window);
    }
}

void FreedesktopDeliveryTest::serverWithoutActionsIsLogged()
{
    FakeNotificationServer server({"body"});
    QVERIFY(server.start());
    FreedesktopBackend backend;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("offers no actions; toast 4 .*without its buttons"));
    backend.show(ToastDelivery{4, kAppId, kTwoActions}, std::make_shared<RecordingSink>());
    QTRY_COMPARE(server.calls().size(), 1);
    QCOMPARE(server.calls().first().actions, QStringList());
}

void FreedesktopDeliveryTest::detectedVersion_data()
{
    QTest::addColumn<bool>("serverUp");
    QTest::addColumn<QString>("pinned");
    QTest::addColumn<QString>("version");

    QTest::newRow("no server") << false << QString() << QString();
    QTest::newRow("server") << true << QString() << "10.0.19045";
    QTest::newRow("pinned over a server") << true << "6.3.9600" << "6.3.9600";
    QTest::newRow("pinned without a server") << false << "10.0.14393" << "10.0.14393";
}

void FreedesktopDeliveryTest::detectedVersion()
{
    QFETCH(bool, serverUp);
    QFETCH(QString, pinned);
    QFETCH(QString, version);

    FakeNotificationServer server(kFullServer);
    if (serverUp)
        QVERIFY(server.start());
    if (!pinned.isEmpty())
        winsim::control::pinOsVersion(QVersionNumber::fromString(pinned));
    QCOMPARE(winsim::control::osVersion().toString(), version);
}

void FreedesktopDeliveryTest::notifierDefault_data()
{
    QTest::addColumn<bool>("serverUp");
    QTest::addColumn<bool>("pinned");
    QTest::addColumn<bool>("freedesktop");

    // In this order: once made, the desktop back end stays for the process.
    QTest::newRow("no server") << false << false << false;
    QTest::newRow("server, version pinned") << true << true << false;
    QTest::newRow("server") << true << false << true;
    QTest::newRow("pinned again") << true << true << false;
    QTest::newRow("server gone, still the desktop") << false << false << true;
}

void FreedesktopDeliveryTest::notifierDefault()
{
    QFETCH(bool, serverUp);
    QFETCH(bool, pinned);
    QFETCH(bool, freedesktop);

    FakeNotificationServer server(kFullServer);
    if (serverUp)
        QVERIFY(server.start());
    if (pinned)
        winsim::control::pinOsVersion(QVersionNumber(10, 0, 19045));
    const std::shared_ptr<winsim::DeliveryBackend> backend = winsim::control::deliveryBackend();
    QVERIFY(backend);
    QCOMPARE(dynamic_cast<FreedesktopBackend*>(backend.get()) != nullptr, freedesktop);
}

QTEST_GUILESS_MAIN(FreedesktopDeliveryTest)
#include "tst_freedesktopdelivery.moc"
