#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>
#include <QVariantMap>
#include <QVector>

// A notification server on its own bus connection, for checks of exactly what
// a client sends and of answers a real server gives only by accident.
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
        QString summary;
        uint id;          // 0 while not answered with an id
        QString sender;   // the caller's unique name
    };

    explicit FakeNotificationServer(const QStringList& capabilities) : m_capabilities(capabilities) {}
    ~FakeNotificationServer() override { vanish(); }

    // False when the bus or the name was not available.
    bool start();
    // Leaves the bus the way a crashing server does.
    void vanish();

    void setAnswer(Answer answer) { m_answer = answer; }
    // Answers the Notify calls held back so far, with ids of its own or with this one.
    void answerHeld(int id = -1);
    QVector<Call> calls() const { return m_calls; }
    QVector<uint> closeRequests() const { return m_closeRequests; }

    void invokeAction(uint id, const QString& key) { emitSignal(m_bus, false, "ActionInvoked", {id, key}); }
    void close(uint id, uint reason) { emitSignal(m_bus, false, "NotificationClosed", {id, reason}); }
    // The same signals from another client of the bus, broadcast or sent to the
    // caller of the first Notify; returns once the bus has passed them on, so
    // that whatever the server sends next arrives after them.
    bool forgeSignal(bool targeted, const QString& member, const QVariantList& arguments);
    // Answers the first Notify held back from that other client, with this id.
    bool forgeAnswer(uint id);

public Q_SLOTS:
    QStringList GetCapabilities() { return m_capabilities; }
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints, int timeout);
    void CloseNotification(uint id);

private:
    bool emitSignal(QDBusConnection bus, bool targeted, const QString& member, const QVariantList& arguments);
    QDBusConnection foreignConnection();

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
