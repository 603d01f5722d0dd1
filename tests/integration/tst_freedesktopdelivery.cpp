// Guards what a desktop's notification server is sent and how its answers, closes, clicks or departure, and the loss
// of the session bus, end a toast. On a session bus of the test's own, which it kills.
#include "buswire.h"
#include "freedesktopbackend.h"
#include "testdata.h"

#include <winsim/control.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QtTest>

#include <algorithm>

using winsim::FreedesktopBackend;
using winsim::ToastDelivery;
using namespace winsim::freedesktop;

namespace {

constexpr int kNoServer = -1;
const QStringList k_fullServer = {"actions", "body", "body-markup", "body-hyperlinks", "icon-static"};
const QString k_appId = QStringLiteral("Vantor.Office.Test");

QString toast(const QString& name)
{
    return testdata::text(QStringLiteral("desktop-toasts.txt"), name);
}

QString plainToast(const QString& text)
{
    return QStringLiteral("<toast><visual><binding template=\"ToastText01\"><text>%1</text></binding></visual>"
                          "</toast>").arg(text);
}

QString failure(int hresult)
{
    return QStringLiteral("failed 0x%1").arg(static_cast<quint32>(hresult), 8, 16, QLatin1Char('0'));
}

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

// Never reused: a connection whose bus died stays registered under its name.
QString newConnectionName()
{
    static int connections = 0;
    return QStringLiteral("fake-notification-server-%1").arg(++connections);
}

// A notification server on its own bus connection, for checks of exactly what a client sends and of answers a real
// server gives only by accident.
class FakeNotificationServer : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    // Nothing: held back until answerHeld(). Zero: the id 0, which a server may give.
    enum class Answer { Id, Error, Nothing, NotAnId, Zero };

    struct Call
    {
        QStringList sent; // "name=value" per argument, hints last, as in desktop-toasts.txt
        uint id;          // 0 while not answered with an id
        QString sender;   // the caller's unique name
    };

    explicit FakeNotificationServer(const QStringList& capabilities) : m_capabilities(capabilities) {}
    ~FakeNotificationServer() override { vanish(); }

    // False when the bus or the name was not available.
    bool start()
    {
        m_connectionName = newConnectionName();
        m_bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_connectionName);
        return m_bus.isConnected() && m_bus.registerObject(kPath, this, QDBusConnection::ExportAllSlots)
            && m_bus.registerService(kService);
    }

    // Leaves the bus the way a crashing server does.
    void vanish()
    {
        m_bus = QDBusConnection(QString());
        for (const QString& name : {m_connectionName, m_foreignName})
            QDBusConnection::disconnectFromBus(name);
        m_foreignName.clear();
    }

    void setAnswer(Answer answer) { m_answer = answer; }
    QVector<Call> calls() const { return m_calls; }
    QVector<uint> closeRequests() const { return m_closeRequests; }

    // Answers the Notify calls held back so far, in the order they came, with ids of its own or with this one.
    void answerHeld(int id = -1)
    {
        auto recorded = m_calls.begin();
        for (const QDBusMessage& call : qAsConst(m_unanswered)) {
            recorded = std::find_if(recorded, m_calls.end(), [](const Call& c) { return c.id == 0; });
            recorded->id = id < 0 ? m_nextId++ : uint(id);
            m_bus.send(call.createReply(recorded->id));
        }
        m_unanswered.clear();
    }

    void invokeAction(uint id, const QString& key) { emitSignal(m_bus, false, "ActionInvoked", {id, key}); }
    void close(uint id, uint reason) { emitSignal(m_bus, false, "NotificationClosed", {id, reason}); }

    // The same signals from another client of the bus, broadcast or sent to the caller of the first Notify; returns
    // once the bus has passed them on (it handles one client's messages in order), so that whatever the server
    // sends next arrives after them.
    bool forgeSignal(bool targeted, const QString& member, const QVariantList& arguments)
    {
        QDBusConnection foreign = foreignConnection();
        return !m_calls.isEmpty() && emitSignal(foreign, targeted, member, arguments)
            && foreign.interface()->isServiceRegistered(kService).isValid();
    }

    // Answers the first Notify held back from that other client, with this id.
    bool forgeAnswer(uint id)
    {
        QDBusConnection foreign = foreignConnection();
        return !m_unanswered.isEmpty() && foreign.send(m_unanswered.first().createReply(id))
            && foreign.interface()->isServiceRegistered(kService).isValid();
    }

public Q_SLOTS:
    QStringList GetCapabilities() { return m_capabilities; }

    uint Notify(const QString& appName, uint replacesId, const QString& appIcon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints, int timeout)
    {
        QStringList sent{"app=" + appName,
                         "replaces=" + QString::number(replacesId),
                         "icon=" + appIcon,
                         "summary=" + summary,
                         "body=" + QString(body).replace('\n', "\\n"),
                         "actions=" + actions.join('|'),
                         "timeout=" + QString::number(timeout)};
        for (auto it = hints.begin(); it != hints.end(); ++it)
            sent << "hint " + it.key() + '=' + it.value().toString();
        m_calls.append({sent, 0, message().service()});
        switch (m_answer) {
        case Answer::Zero:
            return 0;
        case Answer::Id:
            return m_calls.last().id = m_nextId++;
        case Answer::Error:
            sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("refused by the test"));
            return 0;
        case Answer::Nothing:
            setDelayedReply(true);
            m_unanswered.append(message());
            return 0;
        case Answer::NotAnId:
            setDelayedReply(true);
            connection().send(message().createReply(QStringLiteral("not an id")));
            return 0;
        }
        return 0;
    }

    void CloseNotification(uint id)
    {
        m_closeRequests.append(id);
        close(id, 3);
    }

private:
    bool emitSignal(QDBusConnection bus, bool targeted, const QString& member, const QVariantList& arguments)
    {
        QDBusMessage signal = targeted ? QDBusMessage::createTargetedSignal(m_calls.first().sender, kPath, kService, member)
                                       : QDBusMessage::createSignal(kPath, kService, member);
        signal.setArguments(arguments);
        return bus.send(signal);
    }

    QDBusConnection foreignConnection()
    {
        if (m_foreignName.isEmpty()) {
            m_foreignName = newConnectionName();
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_foreignName);
        }
        return QDBusConnection(m_foreignName);
    }

    QString m_connectionName;
    QDBusConnection m_bus{QString()};
    QStringList m_capabilities;
    Answer m_answer = Answer::Id;
    QVector<Call> m_calls;
    QVector<uint> m_closeRequests;
    QVector<QDBusMessage> m_unanswered;
    QString m_foreignName;
    uint m_nextId = 1;
};

// What became of a toast, one short line per outcome; called on the back end's thread.
class RecordingSink : public winsim::ToastEventSink
{
public:
    void activated(const QString& arguments) override { record("activated " + arguments); }
    void dismissed(int reason) override { record(QStringLiteral("dismissed %1").arg(reason)); }
    void failed(int hresult) override { record(failure(hresult)); }
    QStringList lines() const
    {
        QMutexLocker lock(&m_mutex);
        return m_lines;
    }

private:
    void record(const QString& line)
    {
        QMutexLocker lock(&m_mutex);
        m_lines << line;
    }
    mutable QMutex m_mutex;
    QStringList m_lines;
};

// A session bus of the test's own, where it may claim the notification server's name and which it may kill; started
// again at the same address: libdbus reads the address once per process. Messages are limited to 64 KiB.
class PrivateBus
{
public:
    ~PrivateBus() { kill(); }

    // Does nothing while it runs.
    bool start()
    {
        if (m_daemon.state() != QProcess::NotRunning)
            return true;
        QFile config(m_dir.filePath("bus.conf"));
        if (!config.open(QIODevice::WriteOnly))
            return false;
        config.write(QStringLiteral("<busconfig><type>session</type><listen>unix:path=%1/socket</listen>"
                                    "<auth>EXTERNAL</auth><policy context=\"default\">"
                                    "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                                    "<allow own=\"*\"/></policy><limit name=\"max_message_size\">65536</limit></busconfig>")
                         .arg(m_dir.path()).toUtf8());
        config.close();
        m_daemon.start("dbus-daemon", {"--nofork", "--print-address", "--config-file=" + config.fileName()});
        if (!m_daemon.waitForStarted())
            return false;
        while (m_daemon.state() == QProcess::Running && !m_daemon.canReadLine())
            m_daemon.waitForReadyRead(10000);
        // Ready once it names its address; without the guid, which a daemon started again changes.
        return !m_daemon.readLine().trimmed().isEmpty()
            && qputenv("DBUS_SESSION_BUS_ADDRESS", QFile::encodeName("unix:path=" + m_dir.filePath("socket")));
    }

    // The way a crashing daemon goes.
    void kill()
    {
        m_daemon.kill();
        m_daemon.waitForFinished();
    }

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
};

// On a connection of its own: Qt's own does not come back when the bus does.
bool serverNameFree()
{
    const QString name = newConnectionName();
    const QDBusConnection probe = QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
    const bool free = probe.isConnected() && !probe.interface()->isServiceRegistered(kService).value();
    QDBusConnection::disconnectFromBus(name);
    return free;
}

} // namespace

using Answer = FakeNotificationServer::Answer;

class FreedesktopDeliveryTest : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void notifyArguments_data();
    void notifyArguments();
    void burstIsSentInWindows_data();
    void burstIsSentInWindows();
    void platformChoice_data();
    void platformChoice();
    // Last: they kill the bus, and Qt's own connection to it is gone for good.
    void outcome_data();
    void outcome();
    void callOnLostWire_data();
    void callOnLostWire();

private:
    PrivateBus m_bus;
};

void FreedesktopDeliveryTest::init()
{
    QVERIFY2(m_bus.start(), "dbus-daemon did not start");
    // The bus drops a vanished server's name a moment after its connection closes.
    QTRY_VERIFY(serverNameFree());
    winsim::control::unpinOsVersion();
}

void FreedesktopDeliveryTest::notifyArguments_data()
{
    QTest::addColumn<QStringList>("capabilities");
    // Arguments that cannot serve as keys (empty, "default", repeated) get keys of their own.
    QTest::newRow("generic toast with everything") << k_fullServer;
    QTest::newRow("markup escaped for a markup server") << k_fullServer;
    QTest::newRow("plain server without actions") << QStringList{"body"};
    QTest::newRow("silent sound event") << k_fullServer;
    QTest::newRow("image naming no file") << k_fullServer;
}

void FreedesktopDeliveryTest::notifyArguments()
{
    QFETCH(QStringList, capabilities);
    const QString name = QString::fromUtf8(QTest::currentDataTag());

    FakeNotificationServer server(capabilities);
    QVERIFY(server.start());
    FreedesktopBackend backend;
    auto sink = std::make_shared<RecordingSink>();
    backend.show(ToastDelivery{7, k_appId, toast(name)}, sink);

    QTRY_COMPARE(server.calls().size(), 1);
    QCOMPARE(server.calls().first().sent, testdata::lines("desktop-toasts.txt", name + " sent"));
    QCOMPARE(sink->lines(), QStringList());
}

void FreedesktopDeliveryTest::outcome_data()
{
    QTest::addColumn<int>("answer"); // how the server answers Notify, or kNoServer
    QTest::addColumn<QString>("xml");
    QTest::addColumn<QStringList>("steps"); // what happens once Notify arrived, in order
    QTest::addColumn<QString>("outcome");
    QTest::addColumn<int>("closeCalls"); // CloseNotification calls for it; -1: the server's own close may come first

    const int id = int(Answer::Id);
    const int held = int(Answer::Nothing);
    const int zero = int(Answer::Zero);
    const QString twoActions = toast("two actions");

    // An activated toast is closed on the server, and that close is no dismissal.
    QTest::newRow("second button") << id << twoActions << QStringList{"action later"} << "activated later" << 1;
    QTest::newRow("close after a button is not a dismissal")
        << id << twoActions << QStringList{"action reply", "close 2"} << "activated reply" << -1;
    QTest::newRow("body click carries the launch arguments")
        << id << toast("launching") << QStringList{"action default"} << "activated open:42" << 1;
    QTest::newRow("button whose arguments repeat")
        << id << toast("repeated arguments") << QStringList{"action action-1"} << "activated same" << 1;
    QTest::newRow("expired") << id << twoActions << QStringList{"close 1"} << "dismissed 2" << 0;
    QTest::newRow("dismissed by the user") << id << twoActions << QStringList{"close 2"} << "dismissed 0" << 0;
    QTest::newRow("reserved reason, then a second close")
        << id << twoActions << QStringList{"close 4", "close 1"} << "dismissed 3" << 0;
    QTest::newRow("hidden") << id << twoActions << QStringList{"hide"} << "dismissed 1" << 1;
    QTest::newRow("hidden before the server answered")
        << held << twoActions << QStringList{"hide", "answer"} << "dismissed 1" << 1;
    // A server that comes back serves the next toast.
    // Nobody can tell what became of it: not a close by the user.
    QTest::newRow("server leaves with the toast up")
        << id << twoActions << QStringList{"vanish and return"} << failure(ServerGone) << 0;
    QTest::newRow("server leaves before answering")
        << held << twoActions << QStringList{"vanish and return"} << failure(ServerGone) << 0;
    QTest::newRow("no server") << kNoServer << twoActions << QStringList() << failure(ServerUnavailable) << 0;
    QTest::newRow("error reply") << int(Answer::Error) << twoActions << QStringList() << failure(ServerRefused) << 0;
    QTest::newRow("not an id") << int(Answer::NotAnId) << twoActions << QStringList() << failure(BadReply) << 0;
    QTest::newRow("no reply in time") << held << twoActions << QStringList() << failure(CallTimedOut) << 0;
    // The host heard it failed: nothing of it may stay on the screen.
    QTest::newRow("answered after the timeout")
        << held << twoActions << QStringList{"outcome", "answer", "closed on the server"} << failure(CallTimedOut) << 1;
    // Id 0 is an id like any other, also once its toast is over.
    QTest::newRow("id 0 closed, then an action for it")
        << zero << twoActions << QStringList{"close 2", "action later"} << "dismissed 0" << 0;
    QTest::newRow("id 0 hidden") << zero << twoActions << QStringList{"hide"} << "dismissed 1" << 1;
    QTest::newRow("id 0 given again") << zero << twoActions << QStringList{"close 2", "outcome", "id 0 again, closed first"}
                                      << "dismissed 0" << 0;
    // Only the server speaks for its toasts; another client's signals change nothing.
    QTest::newRow("close broadcast by another client")
        << id << twoActions << QStringList{"forged broadcast close 1", "action later"} << "activated later" << 1;
    QTest::newRow("action sent to us by another client")
        << id << twoActions << QStringList{"forged targeted action reply", "close 2"} << "dismissed 0" << 0;
    QTest::newRow("answer from another client first")
        << held << twoActions << QStringList{"forged answer", "answer", "close 2"} << "dismissed 0" << 0;
    QTest::newRow("answer from another client only")
        << held << twoActions << QStringList{"forged answer"} << failure(CallTimedOut) << 0;
    QTest::newRow("close sent to us by another client, then hidden")
        << id << twoActions << QStringList{"forged targeted close 2", "hide"} << "dismissed 1" << 1;
    QTest::newRow("unfinished document") << id << "<toast><visual>" << QStringList() << failure(BadDocument) << 0;
    QTest::newRow("not a toast") << id << "<html><body/></html>" << QStringList() << failure(BadDocument) << 0;
    // Toasts on a lost connection end with a result; the next toast connects again.
    QTest::newRow("bus drops the connection")
        << id << twoActions << QStringList{"too long for the bus"} << failure(ServerUnavailable) << 1;
    QTest::newRow("bus daemon killed")
        << id << twoActions << QStringList{"bus dies and returns"} << failure(ServerUnavailable) << 0;
}

void FreedesktopDeliveryTest::outcome()
{
    QFETCH(int, answer);
    QFETCH(QString, xml);
    QFETCH(QStringList, steps);
    QFETCH(QString, outcome);
    QFETCH(int, closeCalls);

    FakeNotificationServer server(k_fullServer);
    if (answer != kNoServer) {
        QVERIFY(server.start());
        server.setAnswer(Answer(answer));
    }
    FreedesktopBackend backend(1500);
    auto sink = std::make_shared<RecordingSink>();
    backend.show(ToastDelivery{41, k_appId, xml}, sink); // a key the server's ids never match
    if (!steps.isEmpty())
        QTRY_COMPARE(server.calls().size(), 1);

    for (const QString& step : qAsConst(steps)) {
        const uint serverId = server.calls().first().id;
        if (step.startsWith("action")) {
            server.invokeAction(serverId, step.section(' ', 1));
        } else if (step.startsWith("close")) {
            server.close(serverId, step.section(' ', 1).toUInt());
        } else if (step == "hide") {
            backend.hide(41);
        } else if (step == "answer") {
            server.setAnswer(Answer::Id);
            server.answerHeld();
        } else if (step == "forged answer") {
            QVERIFY(server.forgeAnswer(77));
        } else if (step.startsWith("forged")) {
            const QStringList words = step.split(' ');
            const QVariantList arguments = words.at(2) == "action" ? QVariantList{serverId, words.at(3)}
                                                                  : QVariantList{serverId, words.at(3).toUInt()};
            QVERIFY(server.forgeSignal(words.at(1) == "targeted",
                                       words.at(2) == "action" ? "ActionInvoked" : "NotificationClosed", arguments));
        } else if (step == "outcome") {
            QTRY_COMPARE(sink->lines(), QStringList{outcome});
        } else if (step == "closed on the server") {
            QTRY_COMPARE(server.closeRequests().size(), 1);
        } else if (step == "vanish and return") {
            server.vanish();
            QTRY_COMPARE(sink->lines(), QStringList{outcome});
            QTRY_VERIFY(serverNameFree());
            server.setAnswer(Answer::Id);
            QVERIFY(server.start());
        } else if (step == "id 0 again, closed first") {
            // The first toast's id must not stand in the way of the second's close, which overtook its answer.
            server.setAnswer(Answer::Nothing);
            auto second = std::make_shared<RecordingSink>();
            backend.show(ToastDelivery{43, k_appId, xml}, second);
            QTRY_COMPARE(server.calls().size(), 2);
            server.close(0, 1);
            server.answerHeld(0);
            QTRY_COMPARE(second->lines(), QStringList{"dismissed 2"});
        } else if (step == "too long for the bus" || step == "bus dies and returns") {
            const bool dies = step == "bus dies and returns";
            if (dies) {
                m_bus.kill();
                QTRY_COMPARE(sink->lines(), QStringList{outcome});
            }
            // Nowhere to go, or too long for the bus, which then drops the sender.
            auto lost = std::make_shared<RecordingSink>();
            backend.show(ToastDelivery{43, k_appId, plainToast(QString(dies ? 1 : 70000, 'x'))}, lost);
            QTRY_COMPARE(lost->lines(), QStringList{outcome});
            if (dies) {
                server.vanish();
                QVERIFY(m_bus.start());
                // The simulation passes for Windows 10 only while the new bus has a notification server.
                QVERIFY(winsim::control::osVersion().isNull());
                QVERIFY(server.start());
                QCOMPARE(winsim::control::osVersion(), QVersionNumber(10, 0, 19045));
            }
        }
    }
    QTRY_COMPARE(sink->lines(), QStringList{outcome});
    backend.hide(41); // over: sends nothing, reports nothing

    // Signals arrive in order: once a later toast's close is heard, a late report of this one would have been too.
    if (answer == kNoServer) // every row checks it, with a server that gives ids from now on
        QVERIFY(server.start());
    server.setAnswer(Answer::Id);
    auto later = std::make_shared<RecordingSink>();
    const int sent = server.calls().size();
    backend.show(ToastDelivery{42, k_appId, toast("two actions")}, later);
    QTRY_COMPARE(server.calls().size(), sent + 1);
    server.close(server.calls().last().id, 2);
    QTRY_COMPARE(later->lines(), QStringList{"dismissed 0"});
    QVERIFY2(sink->lines() == QStringList{outcome}, qPrintable("late report: " + sink->lines().join(" | ")));
    if (closeCalls >= 0) // by the id the server gave
        QTRY_COMPARE(server.closeRequests(), QVector<uint>(closeCalls, server.calls().value(0).id));
}

void FreedesktopDeliveryTest::burstIsSentInWindows_data()
{
    QTest::addColumn<bool>("serverAnswers");
    QTest::newRow("server answers late") << true;
    // The toasts behind an unanswered window fail with it, not one timeout after another.
    QTest::newRow("server never answers") << false;
}

void FreedesktopDeliveryTest::burstIsSentInWindows()
{
    QFETCH(bool, serverAnswers);
    constexpr int count = 40;

    FakeNotificationServer server(k_fullServer);
    QVERIFY(server.start());
    server.setAnswer(Answer::Nothing);
    FreedesktopBackend backend(serverAnswers ? 5000 : 300);
    QVector<std::shared_ptr<RecordingSink>> sinks;
    for (int i = 0; i < count; ++i) {
        sinks.append(std::make_shared<RecordingSink>());
        backend.show(ToastDelivery{quint64(100 + i), k_appId, plainToast(QString::number(i))}, sinks.last());
    }
    QTRY_VERIFY(server.calls().size() > 0);
    QVERIFY2(server.calls().size() < count, "every toast went out at once");

    QString expected = failure(CallTimedOut);
    if (serverAnswers) {
        server.setAnswer(Answer::Id);
        while (server.calls().size() < count) {
            const int sent = server.calls().size();
            server.answerHeld();
            QTRY_VERIFY2(server.calls().size() > sent, "the next window never went out");
        }
        QVERIFY(server.calls().last().sent.contains("summary=" + QString::number(count - 1)));
        for (const FakeNotificationServer::Call& call : server.calls())
            server.close(call.id, 2);
        expected = QStringLiteral("dismissed 0");
    }
    for (const auto& sink : qAsConst(sinks))
        QTRY_COMPARE(sink->lines(), QStringList{expected});
    QVERIFY2(serverAnswers || server.calls().size() < count, "toasts behind an unanswered window were sent");
}

void FreedesktopDeliveryTest::platformChoice_data()
{
    QTest::addColumn<bool>("serverUp");
    QTest::addColumn<QString>("pinned");
    QTest::addColumn<QString>("version");
    QTest::addColumn<bool>("desktop");

    // In this order: once made, the desktop's back end stays for the process.
    QTest::newRow("no server") << false << QString() << QString() << false;
    QTest::newRow("pinned over a server") << true << "6.3.9600" << "6.3.9600" << false;
    QTest::newRow("server") << true << QString() << "10.0.19045" << true;
    QTest::newRow("pinned without a server") << false << "10.0.14393" << "10.0.14393" << false;
    QTest::newRow("server gone, still the desktop") << false << QString() << QString() << true;
}

void FreedesktopDeliveryTest::platformChoice()
{
    QFETCH(bool, serverUp);
    QFETCH(QString, pinned);
    QFETCH(bool, desktop);

    FakeNotificationServer server(k_fullServer);
    if (serverUp)
        QVERIFY(server.start());
    if (!pinned.isEmpty())
        winsim::control::pinOsVersion(QVersionNumber::fromString(pinned));
    QTEST(winsim::control::osVersion().toString(), "version");
    const std::shared_ptr<winsim::DeliveryBackend> backend = winsim::control::deliveryBackend();
    QVERIFY(backend);
    QCOMPARE(dynamic_cast<FreedesktopBackend*>(backend.get()) != nullptr, desktop);
}

// A call on a lost connection is answered Disconnected, and an answer made
// for a call that never went out must not need the call's serial.
void FreedesktopDeliveryTest::callOnLostWire_data()
{
    QTest::addColumn<int>("stage"); // 0 never opened, 1 bus killed and seen gone, 2 killed, not seen yet
    QTest::newRow("wire never opened") << 0;
    QTest::newRow("bus lost, wire closed") << 1;
    // The call goes out into the dead socket and waits; the loss answers it.
    QTest::newRow("bus killed, not yet noticed") << 2;
}

void FreedesktopDeliveryTest::callOnLostWire()
{
    QFETCH(int, stage);
    winsim::BusWire wire;
    bool noticed = false;
    wire.setDisconnectHandler([&noticed] { noticed = true; });
    QString error;
    if (stage > 0) {
        QVERIFY2(wire.open(&error), qPrintable(error));
        m_bus.kill();
        if (stage == 1)
            QTRY_VERIFY(noticed);
    }
    QStringList answers;
    wire.call(dbus_message_new_method_call(DBUS_SERVICE_DBUS, DBUS_PATH_DBUS, DBUS_INTERFACE_DBUS, "GetId"), 1000,
              [&answers](DBusMessage* reply) {
                  answers << QString::fromUtf8(reply ? dbus_message_get_error_name(reply) : "no answer");
              });
    QTRY_COMPARE(answers, QStringList{DBUS_ERROR_DISCONNECTED});
    QTRY_VERIFY(!wire.isOpen());
}

QTEST_GUILESS_MAIN(FreedesktopDeliveryTest)
#include "tst_freedesktopdelivery.moc"
