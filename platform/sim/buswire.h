// A private session-bus connection run by libdbus on the thread that opens it:
// its socket and timers are watched by that thread's Qt event loop, and every
// handler runs there. A call is written to the socket by the caller itself,
// not handed to another thread first as QtDBus does, which is most of the
// time a toast takes to reach the server.
#pragma once

#include <dbus/dbus.h>

#include <QHash>
#include <QObject>
#include <QString>

#include <functional>

class QSocketNotifier;
class QTimer;

namespace winsim {

class BusWire : public QObject
{
public:
    // Gets the answer to a call: a method return or an error, the bus's own,
    // or one made here (no sender): NoReply when the call timed out,
    // Disconnected when it was not sent or the connection dropped under it.
    using ReplyHandler = std::function<void(DBusMessage* reply)>;
    using SignalHandler = std::function<void(DBusMessage* signal)>;

    explicit BusWire(QObject* parent = nullptr);
    ~BusWire() override;

    // False, with the reason in *error, when there is no session bus.
    bool open(QString* error);
    // Drops the connection; pending handlers are never called (on a lost
    // connection they are answered Disconnected). Must run on the wire's thread.
    void close();
    bool isOpen() const { return m_connection != nullptr; }
    // The bus's own id (its guid) as of the last open(); a bus started again has another.
    QString busId() const { return m_busId; }

    // Signals matching the rule reach the signal handler; not waited for.
    void addMatch(const char* rule);
    void setSignalHandler(SignalHandler handler) { m_onSignal = std::move(handler); }
    // Answers no call waits for any more: those that came after their timeout.
    void setLateReplyHandler(SignalHandler handler) { m_onLateReply = std::move(handler); }
    // Runs once the connection is lost, after the wire has closed; the next
    // open() connects again.
    void setDisconnectHandler(std::function<void()> handler) { m_onDisconnected = std::move(handler); }

    // Takes the message. The handler runs later, on this thread, exactly once.
    // Returns the call's serial, 0 when it was not sent.
    dbus_uint32_t call(DBusMessage* message, int timeoutMs, ReplyHandler done);

private:
    struct Watch
    {
        QSocketNotifier* read = nullptr;
        QSocketNotifier* write = nullptr;
    };

    static dbus_bool_t addWatch(DBusWatch* watch, void* data);
    static void removeWatch(DBusWatch* watch, void* data);
    static void toggleWatch(DBusWatch* watch, void* data);
    static dbus_bool_t addTimeout(DBusTimeout* timeout, void* data);
    static void removeTimeout(DBusTimeout* timeout, void* data);
    static void toggleTimeout(DBusTimeout* timeout, void* data);
    static void dispatchStatusChanged(DBusConnection* connection, DBusDispatchStatus status, void* data);
    static DBusHandlerResult filter(DBusConnection* connection, DBusMessage* message, void* data);
    static void replied(DBusPendingCall* pending, void* data);

    void handleWatch(DBusWatch* watch, unsigned int condition);
    void lost();
    void queueDispatch();
    void dispatch();

    DBusConnection* m_connection = nullptr;
    QString m_busId;
    QHash<DBusWatch*, Watch> m_watches;
    QHash<DBusTimeout*, QTimer*> m_timeouts;
    QHash<DBusPendingCall*, ReplyHandler> m_pending;
    SignalHandler m_onSignal;
    SignalHandler m_onLateReply;
    std::function<void()> m_onDisconnected;
    bool m_dispatchQueued = false;
    bool m_lostQueued = false;
};

} // namespace winsim
