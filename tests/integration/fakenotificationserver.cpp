#include "fakenotificationserver.h"

#include <QDBusConnectionInterface>

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

int serverCount = 0;

} // namespace

FakeNotificationServer::FakeNotificationServer(const QStringList& capabilities)
    : m_connectionName(QStringLiteral("fake-notification-server-%1").arg(++serverCount))
    , m_bus(QString())
    , m_capabilities(capabilities)
{
}

FakeNotificationServer::~FakeNotificationServer()
{
    vanish();
}

bool FakeNotificationServer::start()
{
    m_bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_connectionName);
    if (!m_bus.isConnected())
        return false;
    if (!m_bus.registerObject(kPath, this, QDBusConnection::ExportAllSlots))
        return false;
    return m_bus.registerService(kService);
}

void FakeNotificationServer::vanish()
{
    if (!m_bus.isConnected())
        return;
    m_bus = QDBusConnection(QString());
    QDBusConnection::disconnectFromBus(m_connectionName);
}

void FakeNotificationServer::invokeAction(uint id, const QString& key)
{
    emitTo(id, QStringLiteral("ActionInvoked"), {id, key});
}

void FakeNotificationServer::close(uint id, uint reason)
{
    emitTo(id, QStringLiteral("NotificationClosed"), {id, reason});
}

void FakeNotificationServer::emitTo(uint id, const QString& member, const QVariantList& arguments)
{
    for (const Call& call : qAsConst(m_calls)) {
        if (call.id != id)
            continue;
        QDBusMessage signal = QDBusMessage::createTargetedSignal(call.sender, kPath, kService, member);
        signal.setArguments(arguments);
        m_bus.send(signal);
        return;
    }
}

void FakeNotificationServer::answerHeld()
{
    for (const QDBusMessage& call : qAsConst(m_unanswered)) {
        for (Call& recorded : m_calls) {
            if (recorded.id == 0 && recorded.sender == call.service()) {
                recorded.id = m_nextId++;
                m_bus.send(call.createReply(recorded.id));
                break;
            }
        }
    }
    m_unanswered.clear();
}

QStringList FakeNotificationServer::GetCapabilities()
{
    return m_capabilities;
}

uint FakeNotificationServer::Notify(const QString& appName, uint replacesId, const QString& appIcon,
                                    const QString& summary, const QString& body, const QStringList& actions,
                                    const QVariantMap& hints, int timeout)
{
    Call call{appName, replacesId, appIcon, summary, body, actions, hints, timeout, message().service(), 0};
    switch (m_answer) {
    case Answer::Id:
        call.id = m_nextId++;
        m_calls.append(call);
        return call.id;
    case Answer::Error:
        m_calls.append(call);
        sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("refused by the test"));
        return 0;
    case Answer::Nothing:
        m_calls.append(call);
        setDelayedReply(true);
        m_unanswered.append(message());
        return 0;
    case Answer::NotAnId:
        m_calls.append(call);
        setDelayedReply(true);
        connection().send(message().createReply(QStringLiteral("not an id")));
        return 0;
    }
    return 0;
}

void FakeNotificationServer::CloseNotification(uint id)
{
    m_closeRequests.append(id);
    close(id, 3);
}
