#include "fakenotificationserver.h"

#include <QDBusConnectionInterface>

#include <algorithm>

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

// Never reused: a connection whose bus died stays registered under its name.
QString newConnectionName()
{
    static int connections = 0;
    return QStringLiteral("fake-notification-server-%1").arg(++connections);
}

} // namespace

bool FakeNotificationServer::start()
{
    m_connectionName = newConnectionName();
    m_bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_connectionName);
    return m_bus.isConnected() && m_bus.registerObject(kPath, this, QDBusConnection::ExportAllSlots)
        && m_bus.registerService(kService);
}

void FakeNotificationServer::vanish()
{
    m_bus = QDBusConnection(QString());
    for (const QString& name : {m_connectionName, m_foreignName})
        QDBusConnection::disconnectFromBus(name);
    m_foreignName.clear();
}

QDBusConnection FakeNotificationServer::foreignConnection()
{
    if (m_foreignName.isEmpty()) {
        m_foreignName = newConnectionName();
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_foreignName);
    }
    return QDBusConnection(m_foreignName);
}

bool FakeNotificationServer::forgeAnswer(uint id)
{
    QDBusConnection foreign = foreignConnection();
    return !m_unanswered.isEmpty() && foreign.send(m_unanswered.first().createReply(id))
        && foreign.interface()->isServiceRegistered(kService).isValid();
}

bool FakeNotificationServer::forgeSignal(bool targeted, const QString& member, const QVariantList& arguments)
{
    // The bus handles one client's messages in order: once it answered, it has passed the signal on.
    QDBusConnection foreign = foreignConnection();
    return !m_calls.isEmpty() && emitSignal(foreign, targeted, member, arguments)
        && foreign.interface()->isServiceRegistered(kService).isValid();
}

bool FakeNotificationServer::emitSignal(QDBusConnection bus, bool targeted, const QString& member,
                                        const QVariantList& arguments)
{
    QDBusMessage signal = targeted ? QDBusMessage::createTargetedSignal(m_calls.first().sender, kPath, kService, member)
                                   : QDBusMessage::createSignal(kPath, kService, member);
    signal.setArguments(arguments);
    return bus.send(signal);
}

void FakeNotificationServer::answerHeld(int id)
{
    // Held calls are answered in the order they came.
    auto recorded = m_calls.begin();
    for (const QDBusMessage& call : qAsConst(m_unanswered)) {
        recorded = std::find_if(recorded, m_calls.end(), [](const Call& c) { return c.id == 0; });
        recorded->id = id < 0 ? m_nextId++ : uint(id);
        m_bus.send(call.createReply(recorded->id));
    }
    m_unanswered.clear();
}

uint FakeNotificationServer::Notify(const QString& appName, uint replacesId, const QString& appIcon,
                                    const QString& summary, const QString& body, const QStringList& actions,
                                    const QVariantMap& hints, int timeout)
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
    m_calls.append({sent, summary, 0, message().service()});
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

void FakeNotificationServer::CloseNotification(uint id)
{
    m_closeRequests.append(id);
    close(id, 3);
}
