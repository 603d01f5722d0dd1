#include "buswire.h"

#include <QEvent>
#include <QSocketNotifier>
#include <QTimer>

namespace winsim {

namespace {

// Reports readiness straight from the event, the same way in Qt 5 and 6,
// whose activated() signals differ.
class ReadyNotifier : public QSocketNotifier
{
public:
    ReadyNotifier(int fd, Type type, QObject* parent, std::function<void()> ready)
        : QSocketNotifier(fd, type, parent)
        , m_ready(std::move(ready))
    {
    }

protected:
    bool event(QEvent* e) override
    {
        if (e->type() != QEvent::SockAct && e->type() != QEvent::SockClose)
            return QSocketNotifier::event(e);
        m_ready();
        return true;
    }

private:
    std::function<void()> m_ready;
};

// An answer made here for a call: dbus_message_new_error() needs the call
// to have been sent (a serial), and libdbus ends the process on that check.
DBusMessage* localError(const char* name, const char* text)
{
    DBusMessage* error = dbus_message_new(DBUS_MESSAGE_TYPE_ERROR);
    if (!error)
        return nullptr; // out of memory: the handler gets no answer, which it takes for NoReply
    dbus_message_set_error_name(error, name);
    dbus_message_append_args(error, DBUS_TYPE_STRING, &text, DBUS_TYPE_INVALID);
    return error;
}

void dropNotifier(QSocketNotifier* notifier)
{
    if (!notifier)
        return;
    // It may be the one whose event is being handled.
    notifier->setEnabled(false);
    notifier->deleteLater();
}

} // namespace

BusWire::BusWire(QObject* parent)
    : QObject(parent)
{
}

BusWire::~BusWire()
{
    close();
}

bool BusWire::open(QString* error)
{
    DBusError failure;
    dbus_error_init(&failure);
    m_connection = dbus_bus_get_private(DBUS_BUS_SESSION, &failure);
    if (!m_connection) {
        *error = QString::fromUtf8(failure.message);
        dbus_error_free(&failure);
        return false;
    }
    // libdbus would end the whole process when the bus goes away.
    dbus_connection_set_exit_on_disconnect(m_connection, FALSE);
    char* busId = dbus_connection_get_server_id(m_connection);
    m_busId = QString::fromUtf8(busId);
    dbus_free(busId);
    dbus_connection_set_watch_functions(m_connection, &BusWire::addWatch, &BusWire::removeWatch, &BusWire::toggleWatch,
                                        this, nullptr);
    dbus_connection_set_timeout_functions(m_connection, &BusWire::addTimeout, &BusWire::removeTimeout,
                                          &BusWire::toggleTimeout, this, nullptr);
    dbus_connection_set_dispatch_status_function(m_connection, &BusWire::dispatchStatusChanged, this, nullptr);
    dbus_connection_add_filter(m_connection, &BusWire::filter, this, nullptr);
    if (dbus_connection_get_dispatch_status(m_connection) == DBUS_DISPATCH_DATA_REMAINS)
        queueDispatch();
    return true;
}

void BusWire::close()
{
    if (!m_connection)
        return;
    const QHash<DBusPendingCall*, ReplyHandler> pending = std::exchange(m_pending, {});
    for (auto it = pending.cbegin(); it != pending.cend(); ++it) {
        dbus_pending_call_cancel(it.key());
        dbus_pending_call_unref(it.key());
    }
    dbus_connection_remove_filter(m_connection, &BusWire::filter, this);
    dbus_connection_set_dispatch_status_function(m_connection, nullptr, nullptr, nullptr);
    dbus_connection_close(m_connection);
    // Removes every watch and timer through the functions set in open().
    dbus_connection_set_watch_functions(m_connection, nullptr, nullptr, nullptr, nullptr, nullptr);
    dbus_connection_set_timeout_functions(m_connection, nullptr, nullptr, nullptr, nullptr, nullptr);
    dbus_connection_unref(m_connection);
    m_connection = nullptr;
}

void BusWire::addMatch(const char* rule)
{
    if (m_connection)
        dbus_bus_add_match(m_connection, rule, nullptr);
}

dbus_uint32_t BusWire::call(DBusMessage* message, int timeoutMs, ReplyHandler done)
{
    DBusPendingCall* pending = nullptr;
    // A lost connection still takes the call, and hands back no pending call.
    if (!m_connection || !dbus_connection_send_with_reply(m_connection, message, &pending, timeoutMs) || !pending) {
        dbus_message_unref(message);
        DBusMessage* error = localError(DBUS_ERROR_DISCONNECTED, "not connected to the bus");
        // Later, as an answer would come: the caller may not expect it inside call().
        QMetaObject::invokeMethod(
            this,
            [error, done = std::move(done)] {
                done(error);
                if (error)
                    dbus_message_unref(error);
            },
            Qt::QueuedConnection);
        return 0;
    }
    const dbus_uint32_t serial = dbus_message_get_serial(message);
    dbus_message_unref(message);
    m_pending.insert(pending, std::move(done));
    dbus_pending_call_set_notify(pending, &BusWire::replied, this, nullptr);
    return serial;
}

void BusWire::replied(DBusPendingCall* pending, void* data)
{
    auto* self = static_cast<BusWire*>(data);
    const auto it = self->m_pending.find(pending);
    if (it == self->m_pending.end())
        return; // cancelled by close(), which dropped our reference
    const ReplyHandler done = std::move(it.value());
    self->m_pending.erase(it);
    DBusMessage* reply = dbus_pending_call_steal_reply(pending);
    dbus_pending_call_unref(pending);
    // libdbus answers the calls of a lost connection with a NoReply of its own,
    // which would read as a server that did not answer.
    if (reply && !dbus_message_get_sender(reply) && self->m_connection
        && !dbus_connection_get_is_connected(self->m_connection)) {
        dbus_message_unref(reply);
        reply = localError(DBUS_ERROR_DISCONNECTED, "the connection to the bus was lost");
    }
    done(reply);
    if (reply)
        dbus_message_unref(reply);
}

DBusHandlerResult BusWire::filter(DBusConnection*, DBusMessage* message, void* data)
{
    auto* self = static_cast<BusWire*>(data);
    switch (dbus_message_get_type(message)) {
    case DBUS_MESSAGE_TYPE_SIGNAL:
        if (dbus_message_is_signal(message, DBUS_INTERFACE_LOCAL, "Disconnected")
            && dbus_message_has_path(message, DBUS_PATH_LOCAL))
            self->lost();
        else if (self->m_onSignal)
            self->m_onSignal(message);
        break;
    case DBUS_MESSAGE_TYPE_METHOD_RETURN:
    case DBUS_MESSAGE_TYPE_ERROR:
        // Answers of pending calls never come here.
        if (self->m_onLateReply)
            self->m_onLateReply(message);
        break;
    default:
        break;
    }
    return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
}

void BusWire::lost()
{
    if (m_lostQueued)
        return;
    m_lostQueued = true;
    // Not from inside libdbus's dispatch, which still holds the connection.
    QMetaObject::invokeMethod(
        this,
        [this, connection = m_connection] {
            m_lostQueued = false;
            if (connection != m_connection)
                return; // closed already
            const QList<ReplyHandler> unanswered = m_pending.values();
            close();
            if (m_onDisconnected)
                m_onDisconnected();
            // Each call still gets its one answer.
            for (const ReplyHandler& done : unanswered) {
                DBusMessage* error = localError(DBUS_ERROR_DISCONNECTED, "the connection to the bus was lost");
                done(error);
                if (error)
                    dbus_message_unref(error);
            }
        },
        Qt::QueuedConnection);
}

dbus_bool_t BusWire::addWatch(DBusWatch* watch, void* data)
{
    auto* self = static_cast<BusWire*>(data);
    const int fd = dbus_watch_get_unix_fd(watch);
    const unsigned int flags = dbus_watch_get_flags(watch);
    Watch notifiers;
    if (flags & DBUS_WATCH_READABLE)
        notifiers.read = new ReadyNotifier(fd, QSocketNotifier::Read, self,
                                           [self, watch] { self->handleWatch(watch, DBUS_WATCH_READABLE); });
    if (flags & DBUS_WATCH_WRITABLE)
        notifiers.write = new ReadyNotifier(fd, QSocketNotifier::Write, self,
                                            [self, watch] { self->handleWatch(watch, DBUS_WATCH_WRITABLE); });
    self->m_watches.insert(watch, notifiers);
    toggleWatch(watch, data);
    return TRUE;
}

void BusWire::removeWatch(DBusWatch* watch, void* data)
{
    const Watch notifiers = static_cast<BusWire*>(data)->m_watches.take(watch);
    dropNotifier(notifiers.read);
    dropNotifier(notifiers.write);
}

void BusWire::toggleWatch(DBusWatch* watch, void* data)
{
    const Watch notifiers = static_cast<BusWire*>(data)->m_watches.value(watch);
    const bool enabled = dbus_watch_get_enabled(watch);
    if (notifiers.read)
        notifiers.read->setEnabled(enabled);
    if (notifiers.write)
        notifiers.write->setEnabled(enabled);
}

void BusWire::handleWatch(DBusWatch* watch, unsigned int condition)
{
    if (!m_watches.contains(watch))
        return;
    dbus_watch_handle(watch, condition);
    dispatch();
}

dbus_bool_t BusWire::addTimeout(DBusTimeout* timeout, void* data)
{
    auto* self = static_cast<BusWire*>(data);
    auto* timer = new QTimer(self);
    QObject::connect(timer, &QTimer::timeout, self, [self, timeout] {
        if (!self->m_timeouts.contains(timeout))
            return;
        dbus_timeout_handle(timeout);
        self->dispatch();
    });
    self->m_timeouts.insert(timeout, timer);
    toggleTimeout(timeout, data);
    return TRUE;
}

void BusWire::removeTimeout(DBusTimeout* timeout, void* data)
{
    QTimer* timer = static_cast<BusWire*>(data)->m_timeouts.take(timeout);
    if (timer) {
        timer->stop();
        timer->deleteLater();
    }
}

void BusWire::toggleTimeout(DBusTimeout* timeout, void* data)
{
    QTimer* timer = static_cast<BusWire*>(data)->m_timeouts.value(timeout);
    if (!timer)
        return;
    if (dbus_timeout_get_enabled(timeout))
        timer->start(dbus_timeout_get_interval(timeout));
    else
        timer->stop();
}

void BusWire::dispatchStatusChanged(DBusConnection*, DBusDispatchStatus status, void* data)
{
    // libdbus forbids dispatching from inside this callback.
    if (status == DBUS_DISPATCH_DATA_REMAINS)
        static_cast<BusWire*>(data)->queueDispatch();
}

void BusWire::queueDispatch()
{
    if (m_dispatchQueued)
        return;
    m_dispatchQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_dispatchQueued = false;
            dispatch();
        },
        Qt::QueuedConnection);
}

void BusWire::dispatch()
{
    while (m_connection && dbus_connection_dispatch(m_connection) == DBUS_DISPATCH_DATA_REMAINS) {
    }
}

} // namespace winsim
