// Guards the host against a session bus that goes away: toasts on the lost connection end with a result, the next one connects again.
#include "buswire.h"
#include "fakenotificationserver.h"
#include "freedesktopbackend.h"
#include "recordingsink.h"

#include <winsim/control.h>

#include <QtTest>

using winsim::FreedesktopBackend;
using winsim::ToastDelivery;
using namespace winsim::freedesktop;
using namespace desktoptest;

namespace {

const QString k_lost = RecordingSink::failure(ServerUnavailable);

// A session bus of the test's own, started again at the same address after it
// was killed: libdbus reads the address once per process. Messages are limited
// to 64 KiB.
class PrivateBus
{
public:
    ~PrivateBus() { kill(); }

    bool start(const QString& dir)
    {
        const QString config = dir + "/bus.conf";
        QFile file(config);
        if (!file.exists()) {
            if (!file.open(QIODevice::WriteOnly))
                return false;
            file.write(QStringLiteral("<busconfig><type>session</type><listen>unix:path=%1/socket</listen>"
                                      "<auth>EXTERNAL</auth><policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                                      "<allow eavesdrop=\"true\"/>"
                                      "<allow own=\"*\"/></policy><limit name=\"max_message_size\">65536</limit>"
                                      "</busconfig>").arg(dir).toUtf8());
            file.close();
        }
        m_daemon.start("dbus-daemon", {"--nofork", "--print-address", "--config-file=" + config});
        if (!m_daemon.waitForStarted())
            return false;
        while (m_daemon.state() == QProcess::Running && !m_daemon.canReadLine())
            m_daemon.waitForReadyRead(10000);
        // Ready once it names its address; without the guid, which a daemon started again changes.
        return !m_daemon.readLine().trimmed().isEmpty()
            && qputenv("DBUS_SESSION_BUS_ADDRESS", QFile::encodeName("unix:path=" + dir + "/socket"));
    }

    // The way a crashing daemon goes.
    void kill()
    {
        if (m_daemon.state() == QProcess::NotRunning)
            return;
        m_daemon.kill();
        m_daemon.waitForFinished();
    }

private:
    QProcess m_daemon;
};

} // namespace

class BusLossTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void lostBus_data();
    void lostBus();
    void callOnLostWire_data();
    void callOnLostWire();

private:
    QTemporaryDir m_dir;
};

void BusLossTest::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("WITH_DESKTOP_DIR"))
        QSKIP("kills buses: run it under scripts/with-desktop.sh --bus-only");
    if (QStandardPaths::findExecutable("dbus-daemon").isEmpty())
        QSKIP("needs dbus-daemon");
    QVERIFY(m_dir.isValid());
}

void BusLossTest::lostBus_data()
{
    QTest::addColumn<bool>("daemonDies");
    // An over-long message makes the bus drop the sender.
    QTest::newRow("bus drops the connection") << false;
    QTest::newRow("bus daemon killed") << true;
}

// Toasts on a lost connection end with a result; the next toast connects again.
void BusLossTest::lostBus()
{
    QFETCH(bool, daemonDies);
    PrivateBus bus;
    QVERIFY(bus.start(m_dir.path()));
    auto server = std::make_unique<FakeNotificationServer>(k_fullServer);
    QVERIFY(server->start());
    // The simulation passes for Windows 10 while the bus has a notification server.
    const QVersionNumber windows10(10, 0, 19045);
    QCOMPARE(winsim::control::osVersion(), windows10);
    FreedesktopBackend backend(1500);
    auto shown = std::make_shared<RecordingSink>();
    backend.show(ToastDelivery{1, k_appId, toast("two actions")}, shown);
    QTRY_COMPARE(server->calls().size(), 1);

    auto lost = std::make_shared<RecordingSink>();
    if (daemonDies) {
        bus.kill();
        QTRY_COMPARE(shown->lines(), QStringList{k_lost});
        backend.show(ToastDelivery{2, k_appId, toast("two actions")}, lost); // nowhere to go
    } else {
        const QString xml = QStringLiteral("<toast><visual><binding template=\"ToastText01\"><text>%1</text>"
                                           "</binding></visual></toast>").arg(QString(70000, 'x'));
        backend.show(ToastDelivery{2, k_appId, xml}, lost);
    }
    QTRY_COMPARE(lost->lines(), QStringList{k_lost});
    QTRY_COMPARE(shown->lines(), QStringList{k_lost});

    if (daemonDies) {
        server.reset();
        QVERIFY(bus.start(m_dir.path()));
        QVERIFY(winsim::control::osVersion().isNull());
        server = std::make_unique<FakeNotificationServer>(k_fullServer);
        QVERIFY(server->start());
    }
    QCOMPARE(winsim::control::osVersion(), windows10);
    auto next = std::make_shared<RecordingSink>();
    const int sent = server->calls().size();
    backend.show(ToastDelivery{3, k_appId, toast("two actions")}, next);
    QTRY_COMPARE(server->calls().size(), sent + 1);
    server->close(server->calls().last().id, 2);
    QTRY_COMPARE(next->lines(), QStringList{"dismissed 0"});
    // The first toast, reported failed, is still up on a server the bus kept;
    // a new bus's server gave its first id anew, to the toast just closed.
    const QVector<uint> closed = daemonDies ? QVector<uint>() : QVector<uint>{server->calls().first().id};
    QTRY_COMPARE(server->closeRequests(), closed);
}

// A call on a lost connection is answered Disconnected, and an answer made
// for a call that never went out must not need the call's serial.
void BusLossTest::callOnLostWire_data()
{
    QTest::addColumn<int>("stage"); // 0 never opened, 1 bus killed and seen gone, 2 killed, not seen yet
    QTest::newRow("wire never opened") << 0;
    QTest::newRow("bus lost, wire closed") << 1;
    // The call goes out into the dead socket and waits; the loss answers it.
    QTest::newRow("bus killed, not yet noticed") << 2;
}

void BusLossTest::callOnLostWire()
{
    QFETCH(int, stage);
    PrivateBus bus;
    QVERIFY(bus.start(m_dir.path()));
    winsim::BusWire wire;
    bool noticed = false;
    wire.setDisconnectHandler([&noticed] { noticed = true; });
    QString error;
    if (stage > 0) {
        QVERIFY2(wire.open(&error), qPrintable(error));
        bus.kill();
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

QTEST_GUILESS_MAIN(BusLossTest)
#include "tst_busloss.moc"
