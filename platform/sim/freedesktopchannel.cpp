#include "freedesktopchannel.h"

#include "buswire.h"
#include "freedesktopbackend.h"

#include <QLoggingCategory>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace winsim {

namespace {

Q_LOGGING_CATEGORY(lcDelivery, "winsim.freedesktop")

const char kService[] = "org.freedesktop.Notifications";
const char kPath[] = "/org/freedesktop/Notifications";
const char kInterface[] = "org.freedesktop.Notifications";

// Signals for ids nobody waits for are dropped beyond this many.
constexpr int kMaxEarlyIds = 64;
// Notify calls given up on whose late answer is still closed on the server.
constexpr int kMaxAbandonedCalls = 64;
// Notify calls on the bus at once; a slow server (dunst takes tens of
// milliseconds per toast on a virtual display) still answers each in time.
constexpr int kMaxInFlight = 8;

DBusMessage* serverCall(const char* method)
{
    DBusMessage* message = dbus_message_new_method_call(kService, kPath, kInterface, method);
    // A server that is not running is not started: activation may take far
    // longer than the caller can wait, and fails without a display anyway.
    dbus_message_set_auto_start(message, FALSE);
    return message;
}

struct CallError
{
    QString name;
    QString message;
};

// False for a method return; otherwise the error's name and text.
bool callFailed(DBusMessage* reply, CallError* error)
{
    if (!reply) {
        *error = {QStringLiteral(DBUS_ERROR_NO_REPLY), QStringLiteral("no answer")};
        return true;
    }
    if (dbus_message_get_type(reply) != DBUS_MESSAGE_TYPE_ERROR)
        return false;
    const char* text = nullptr;
    DBusMessageIter it;
    if (dbus_message_iter_init(reply, &it) && dbus_message_iter_get_arg_type(&it) == DBUS_TYPE_STRING)
        dbus_message_iter_get_basic(&it, &text);
    *error = {QString::fromUtf8(dbus_message_get_error_name(reply)), QString::fromUtf8(text ? text : "")};
    return true;
}

int failureResult(const QString& errorName, bool waitedFullTimeout)
{
    if (errorName == QLatin1String(DBUS_ERROR_SERVICE_UNKNOWN) || errorName == QLatin1String(DBUS_ERROR_DISCONNECTED)
        || errorName == QLatin1String(DBUS_ERROR_NAME_HAS_NO_OWNER))
        return freedesktop::ServerUnavailable;
    // The bus also says NoReply when the server leaves without answering.
    if (errorName == QLatin1String(DBUS_ERROR_NO_REPLY) || errorName == QLatin1String(DBUS_ERROR_TIMEOUT)
        || errorName == QLatin1String(DBUS_ERROR_TIMED_OUT))
        return waitedFullTimeout ? freedesktop::CallTimedOut : freedesktop::ServerGone;
    return freedesktop::ServerRefused;
}

void appendString(DBusMessageIter* it, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    const char* data = utf8.constData();
    dbus_message_iter_append_basic(it, DBUS_TYPE_STRING, &data);
}

// Hints are texts and flags.
void appendHints(DBusMessageIter* it, const QVariantMap& hints)
{
    DBusMessageIter dict;
    dbus_message_iter_open_container(it, DBUS_TYPE_ARRAY, "{sv}", &dict);
    for (auto hint = hints.cbegin(); hint != hints.cend(); ++hint) {
        DBusMessageIter entry;
        DBusMessageIter variant;
        dbus_message_iter_open_container(&dict, DBUS_TYPE_DICT_ENTRY, nullptr, &entry);
        appendString(&entry, hint.key());
        if (hint.value().userType() == QMetaType::Bool) {
            const dbus_bool_t flag = hint.value().toBool();
            dbus_message_iter_open_container(&entry, DBUS_TYPE_VARIANT, DBUS_TYPE_BOOLEAN_AS_STRING, &variant);
            dbus_message_iter_append_basic(&variant, DBUS_TYPE_BOOLEAN, &flag);
        } else {
            dbus_message_iter_open_container(&entry, DBUS_TYPE_VARIANT, DBUS_TYPE_STRING_AS_STRING, &variant);
            appendString(&variant, hint.value().toString());
        }
        dbus_message_iter_close_container(&entry, &variant);
        dbus_message_iter_close_container(&dict, &entry);
    }
    dbus_message_iter_close_container(it, &dict);
}

DBusMessage* notifyCall(const NotifyRequest& request)
{
    DBusMessage* message = serverCall("Notify");
    DBusMessageIter it;
    dbus_message_iter_init_append(message, &it);
    appendString(&it, request.appName);
    const dbus_uint32_t replacesId = 0;
    dbus_message_iter_append_basic(&it, DBUS_TYPE_UINT32, &replacesId);
    appendString(&it, request.appIcon);
    appendString(&it, request.summary);
    appendString(&it, request.body);
    DBusMessageIter actions;
    dbus_message_iter_open_container(&it, DBUS_TYPE_ARRAY, DBUS_TYPE_STRING_AS_STRING, &actions);
    for (const QString& action : request.actions)
        appendString(&actions, action);
    dbus_message_iter_close_container(&it, &actions);
    appendHints(&it, request.hints);
    const dbus_int32_t timeoutMs = request.timeoutMs;
    dbus_message_iter_append_basic(&it, DBUS_TYPE_INT32, &timeoutMs);
    return message;
}

bool readStrings(DBusMessage* reply, QStringList* strings)
{
    if (!dbus_message_has_signature(reply, "as"))
        return false;
    DBusMessageIter it;
    DBusMessageIter array;
    dbus_message_iter_init(reply, &it);
    dbus_message_iter_recurse(&it, &array);
    for (; dbus_message_iter_get_arg_type(&array) == DBUS_TYPE_STRING; dbus_message_iter_next(&array)) {
        const char* text = nullptr;
        dbus_message_iter_get_basic(&array, &text);
        strings->append(QString::fromUtf8(text));
    }
    return true;
}

// The answer was made by libdbus, or by the bus on the server's behalf.
bool fromLibraryOrBus(DBusMessage* reply)
{
    const char* sender = dbus_message_get_sender(reply);
    return !sender || qstrcmp(sender, DBUS_SERVICE_DBUS) == 0;
}

// Server close reasons by the platform's dismissal reasons.
int dismissalReason(uint serverReason)
{
    switch (serverReason) {
    case 1:
        return 2; // expired: timed out
    case 2:
        return 0; // dismissed by the user
    case 3:
        return 1; // closed by CloseNotification: hidden by the application
    default:
        return 3;
    }
}

QString hex(int hresult)
{
    return QStringLiteral("0x%1").arg(static_cast<quint32>(hresult), 8, 16, QLatin1Char('0'));
}

} // namespace

FreedesktopChannel::FreedesktopChannel(int callTimeoutMs)
    : m_callTimeoutMs(callTimeoutMs > 0 ? callTimeoutMs : freedesktop::DefaultCallTimeoutMs)
{
}

FreedesktopChannel::~FreedesktopChannel() = default;

void FreedesktopChannel::open()
{
    m_wire = new BusWire(this);
    m_wire->setSignalHandler([this](DBusMessage* signal) { onSignal(signal); });
    m_wire->setLateReplyHandler([this](DBusMessage* reply) { onLateReply(reply); });
    m_wire->setDisconnectHandler([this] { onDisconnected(); });
    connectBus();
}

bool FreedesktopChannel::connectBus()
{
    if (m_wire->isOpen())
        return true;
    QString error;
    if (!m_wire->open(&error)) {
        qCWarning(lcDelivery).noquote() << "no session bus, toasts fail:" << error;
        return false;
    }
    // The bus matches a well-known sender against the name's owner of the
    // moment, so a server that restarts is still heard. Signals sent to us by
    // name pass by every rule: onSignal() checks the sender again.
    m_wire->addMatch("type='signal',sender='org.freedesktop.Notifications',"
                     "interface='org.freedesktop.Notifications',path='/org/freedesktop/Notifications'");
    m_wire->addMatch("type='signal',sender='org.freedesktop.DBus',interface='org.freedesktop.DBus',"
                     "member='NameOwnerChanged',arg0='org.freedesktop.Notifications'");
    askServerOwner();
    return true;
}

void FreedesktopChannel::askServerOwner()
{
    DBusMessage* message = dbus_message_new_method_call(DBUS_SERVICE_DBUS, DBUS_PATH_DBUS, DBUS_INTERFACE_DBUS,
                                                        "GetNameOwner");
    const char* name = kService;
    dbus_message_append_args(message, DBUS_TYPE_STRING, &name, DBUS_TYPE_INVALID);
    const quint64 generation = m_generation;
    // The bus answers in order: before any answer or signal of the server
    // this connection can have caused, and after the NameOwnerChanged
    // signals that came before.
    m_wire->call(message, m_callTimeoutMs,
                 [this, generation](DBusMessage* reply) { onServerOwner(reply, generation); });
}

void FreedesktopChannel::onServerOwner(DBusMessage* reply, quint64 generation)
{
    const char* owner = nullptr;
    if (generation != m_generation || !reply || dbus_message_get_type(reply) != DBUS_MESSAGE_TYPE_METHOD_RETURN
        || !dbus_message_get_args(reply, nullptr, DBUS_TYPE_STRING, &owner, DBUS_TYPE_INVALID))
        return; // no owner (NameHasNoOwner), or asked on a connection that is gone
    m_serverOwner = QString::fromUtf8(owner);
    closeStranded();
}

void FreedesktopChannel::closeStranded()
{
    const Stranded stranded = std::exchange(m_stranded, {});
    if (stranded.busId != m_wire->busId() || stranded.server != m_serverOwner)
        return; // the server that showed them is gone, and its toasts with it
    for (quint32 id : stranded.ids)
        closeUnowned(id);
}

void FreedesktopChannel::closeUnowned(quint32 id)
{
    const dbus_uint32_t serverId = id;
    DBusMessage* message = serverCall("CloseNotification");
    dbus_message_append_args(message, DBUS_TYPE_UINT32, &serverId, DBUS_TYPE_INVALID);
    // Its NotificationClosed names no toast, and a failure changes nothing.
    m_wire->call(message, m_callTimeoutMs, [](DBusMessage*) {});
}

bool FreedesktopChannel::fromServer(DBusMessage* message) const
{
    const char* sender = dbus_message_get_sender(message);
    return sender && !m_serverOwner.isEmpty() && m_serverOwner == QLatin1String(sender);
}

void FreedesktopChannel::onDisconnected()
{
    qCWarning(lcDelivery) << "lost the session bus; failing" << m_toasts.size()
                          << "toast(s), the next toast connects again";
    // A connection the bus dropped leaves the server and its toasts up.
    m_stranded = {m_wire->busId(), m_serverOwner, {}};
    for (const Toast& toast : qAsConst(m_toasts)) {
        if (toast.stage == Stage::Shown)
            m_stranded.ids.append(toast.serverId);
    }
    endAll(freedesktop::ServerUnavailable);
    if (!m_stranded.ids.isEmpty())
        connectBus(); // to close them; fails quietly when the bus itself is gone
}

void FreedesktopChannel::endAll(int hresult)
{
    ++m_generation;
    m_serverOwner.clear();
    m_capabilitiesState = Capabilities::Unknown;
    m_capabilities.clear();
    m_early.clear();
    m_queue.clear();
    m_inFlight = 0;
    m_abandonedCalls.clear();
    m_awaitedAnswers.clear();

    QVector<quint64> keys = m_toasts.keys().toVector();
    std::sort(keys.begin(), keys.end());
    for (quint64 key : keys) {
        if (m_toasts.value(key).activated)
            forget(key); // its outcome was the activation
        else
            fail(key, hresult);
    }
    m_keyByServerId.clear(); // ids of a server we no longer hear
}

void FreedesktopChannel::close()
{
    if (m_wire)
        m_wire->close();
}

void FreedesktopChannel::show(const ToastDelivery& delivery, const std::shared_ptr<ToastEventSink>& sink)
{
    if (m_toasts.contains(delivery.key)) {
        qCWarning(lcDelivery) << "toast" << delivery.key << "is already shown; the second show is refused";
        if (sink)
            sink->failed(freedesktop::BadDocument);
        return;
    }
    Toast toast;
    toast.appUserModelId = delivery.appUserModelId;
    toast.sink = sink;
    QString error;
    if (!toast.document.parse(delivery.xml, &error)) {
        qCWarning(lcDelivery).noquote() << "toast" << delivery.key << "not shown:" << error;
        if (sink)
            sink->failed(freedesktop::BadDocument);
        return;
    }
    if (!m_wire || !connectBus()) {
        if (sink)
            sink->failed(freedesktop::ServerUnavailable);
        return;
    }
    m_toasts.insert(delivery.key, toast);
    m_queue.append(delivery.key);
    if (m_capabilitiesState == Capabilities::Known)
        pump();
    else
        askCapabilities();
}

void FreedesktopChannel::hide(quint64 key)
{
    auto it = m_toasts.find(key);
    if (it == m_toasts.end())
        return; // already over, its outcome was reported
    switch (it->stage) {
    case Stage::Queued:
        m_queue.removeOne(key);
        dismiss(key, 1); // never reached the server
        break;
    case Stage::Sending:
        it->hideRequested = true; // closed as soon as the server names its id
        break;
    case Stage::Shown:
        closeOnServer(key);
        break;
    }
}

void FreedesktopChannel::askCapabilities()
{
    if (m_capabilitiesState == Capabilities::Asking)
        return;
    m_capabilitiesState = Capabilities::Asking;
    m_capabilitiesAskedAt.start();
    const quint64 generation = m_generation;
    m_wire->call(serverCall("GetCapabilities"), m_callTimeoutMs,
                 [this, generation](DBusMessage* reply) { onCapabilities(reply, generation); });
}

void FreedesktopChannel::onCapabilities(DBusMessage* reply, quint64 generation)
{
    if (generation != m_generation)
        return; // asked a server that has left; its departure ended the waiting toasts

    CallError error;
    QStringList capabilities;
    if (!callFailed(reply, &error) && !readStrings(reply, &capabilities))
        error = {QStringLiteral(DBUS_ERROR_INVALID_SIGNATURE),
                 QStringLiteral("GetCapabilities answered with signature ") + QString::fromUtf8(dbus_message_get_signature(reply))};
    if (!error.name.isEmpty()) {
        m_capabilitiesState = Capabilities::Unknown;
        const int hresult = failureResult(error.name, m_capabilitiesAskedAt.elapsed() >= m_callTimeoutMs * 9 / 10);
        qCWarning(lcDelivery).noquote() << "no notification server:" << error.message << "-> failing"
                                        << m_queue.size() << "toast(s) with" << hex(hresult);
        failQueued(hresult);
        return;
    }
    m_capabilities = capabilities;
    m_capabilitiesState = Capabilities::Known;
    qCDebug(lcDelivery) << "server capabilities:" << m_capabilities;
    pump();
}

void FreedesktopChannel::pump()
{
    while (m_inFlight < kMaxInFlight && !m_queue.isEmpty())
        send(m_queue.takeFirst());
}

void FreedesktopChannel::failQueued(int hresult)
{
    const QList<quint64> queued = m_queue;
    m_queue.clear();
    for (quint64 key : queued)
        fail(key, hresult);
}

void FreedesktopChannel::send(quint64 key)
{
    auto it = m_toasts.find(key);
    if (it == m_toasts.end())
        return;
    if (it->document.hasActions() && !m_capabilities.contains(QLatin1String("actions")))
        qCWarning(lcDelivery) << "the notification server offers no actions; toast" << key
                              << "is shown without its buttons";
    const NotifyRequest request = it->document.request(it->appUserModelId, m_capabilities);

    it->stage = Stage::Sending;
    it->sentAt.start();
    ++m_inFlight;
    const quint64 generation = m_generation;
    it->notifySerial = m_wire->call(notifyCall(request), m_callTimeoutMs, [this, key, generation](DBusMessage* reply) {
        onNotifyReply(reply, key, generation);
    });
}

void FreedesktopChannel::onNotifyReply(DBusMessage* reply, quint64 key, quint64 generation)
{
    if (generation != m_generation)
        return; // the server left; its departure ended the toast
    --m_inFlight;
    auto it = m_toasts.find(key);
    if (it == m_toasts.end() || it->stage != Stage::Sending) {
        pump();
        return;
    }

    if (reply && !fromLibraryOrBus(reply) && !fromServer(reply)) {
        // libdbus took it for the answer; the server's own comes past it.
        qCWarning(lcDelivery) << "ignored an answer to Notify of toast" << key << "from"
                              << dbus_message_get_sender(reply) << "which is not the notification server";
        ++m_inFlight;
        const quint32 serial = it->notifySerial;
        m_awaitedAnswers.insert(serial, key);
        const int left = int(qMax<qint64>(0, m_callTimeoutMs - it->sentAt.elapsed()));
        QTimer::singleShot(left, this, [this, serial, key, generation] {
            if (generation == m_generation && m_awaitedAnswers.remove(serial))
                onNotifyReply(nullptr, key, generation); // no answer in time
        });
        return;
    }
    CallError error;
    if (callFailed(reply, &error)) {
        const bool fullWait = it->sentAt.elapsed() >= m_callTimeoutMs * 9 / 10;
        const int hresult = failureResult(error.name, fullWait);
        qCWarning(lcDelivery).noquote() << "Notify of toast" << key << "failed:" << error.name << error.message
                                        << "->" << hex(hresult);
        if (hresult == freedesktop::CallTimedOut) {
            if (m_abandonedCalls.size() >= kMaxAbandonedCalls)
                m_abandonedCalls.removeFirst();
            m_abandonedCalls.append(it->notifySerial);
        }
        fail(key, hresult);
        // A server that answers nothing in time will not serve the queue either.
        if (hresult == freedesktop::CallTimedOut || hresult == freedesktop::ServerUnavailable)
            failQueued(hresult);
        pump();
        return;
    }
    dbus_uint32_t id = 0;
    if (!dbus_message_has_signature(reply, DBUS_TYPE_UINT32_AS_STRING)
        || !dbus_message_get_args(reply, nullptr, DBUS_TYPE_UINT32, &id, DBUS_TYPE_INVALID)) {
        qCWarning(lcDelivery).noquote() << "Notify of toast" << key << "answered with signature"
                                        << dbus_message_get_signature(reply) << "instead of an id";
        fail(key, freedesktop::BadReply);
        pump();
        return;
    }

    if (m_keyByServerId.contains(id))
        qCWarning(lcDelivery) << "server id" << id << "given twice; toast" << m_keyByServerId.value(id)
                              << "can no longer be told apart from toast" << key;
    it->stage = Stage::Shown;
    it->serverId = id;
    m_keyByServerId.insert(id, key);

    const QVector<EarlyEvent> early = m_early.take(id);
    for (const EarlyEvent& event : early) {
        if (event.action)
            onActionInvoked(id, event.actionKey);
        else
            onNotificationClosed(id, event.reason);
    }
    if (m_toasts.contains(key) && m_toasts.value(key).hideRequested)
        closeOnServer(key);
    pump();
}

void FreedesktopChannel::closeOnServer(quint64 key)
{
    auto toast = m_toasts.find(key);
    if (toast == m_toasts.end() || toast->closeSent)
        return; // its NotificationClosed is on the way
    toast->closeSent = true;
    const dbus_uint32_t id = toast->serverId;
    DBusMessage* message = serverCall("CloseNotification");
    dbus_message_append_args(message, DBUS_TYPE_UINT32, &id, DBUS_TYPE_INVALID);
    const quint64 generation = m_generation;
    m_wire->call(message, m_callTimeoutMs,
                 [this, key, id, generation](DBusMessage* reply) { onCloseReply(reply, key, id, generation); });
}

void FreedesktopChannel::onCloseReply(DBusMessage* reply, quint64 key, quint32 id, quint64 generation)
{
    CallError error;
    if (!callFailed(reply, &error) || generation != m_generation)
        return; // the server reports the close with NotificationClosed
    const auto it = m_toasts.constFind(key);
    if (it == m_toasts.cend() || it->serverId != id)
        return;
    if (it->activated) {
        // Its outcome was the activation; a server that no longer knows
        // the id has closed it already.
        forget(key);
        return;
    }
    qCWarning(lcDelivery).noquote() << "CloseNotification of toast" << key << "failed:" << error.message;
    dismiss(key, 1);
}

void FreedesktopChannel::onLateReply(DBusMessage* reply)
{
    const quint32 serial = dbus_message_get_reply_serial(reply);
    if (m_awaitedAnswers.contains(serial) && (fromServer(reply) || fromLibraryOrBus(reply))) {
        onNotifyReply(reply, m_awaitedAnswers.take(serial), m_generation);
        return;
    }
    dbus_uint32_t id = 0;
    const int index = m_abandonedCalls.indexOf(serial);
    if (index < 0 || !fromServer(reply))
        return;
    m_abandonedCalls.remove(index);
    if (dbus_message_get_type(reply) != DBUS_MESSAGE_TYPE_METHOD_RETURN
        || !dbus_message_get_args(reply, nullptr, DBUS_TYPE_UINT32, &id, DBUS_TYPE_INVALID))
        return;
    // The host was told the toast failed; it must not stay on the screen.
    qCWarning(lcDelivery) << "the server showed a toast given up on, as id" << id << "- closing it";
    closeUnowned(id);
}

void FreedesktopChannel::onSignal(DBusMessage* signal)
{
    dbus_uint32_t id = 0;
    if (dbus_message_has_interface(signal, kInterface) && dbus_message_has_path(signal, kPath)) {
        if (!fromServer(signal)) {
            qCDebug(lcDelivery) << "ignored" << dbus_message_get_member(signal) << "from"
                                << dbus_message_get_sender(signal) << "which is not the notification server";
            return;
        }
        const char* actionKey = nullptr;
        dbus_uint32_t reason = 0;
        if (dbus_message_has_member(signal, "ActionInvoked") && dbus_message_has_signature(signal, "us")) {
            dbus_message_get_args(signal, nullptr, DBUS_TYPE_UINT32, &id, DBUS_TYPE_STRING, &actionKey, DBUS_TYPE_INVALID);
            onActionInvoked(id, QString::fromUtf8(actionKey));
        } else if (dbus_message_has_member(signal, "NotificationClosed") && dbus_message_has_signature(signal, "uu")) {
            dbus_message_get_args(signal, nullptr, DBUS_TYPE_UINT32, &id, DBUS_TYPE_UINT32, &reason, DBUS_TYPE_INVALID);
            onNotificationClosed(id, reason);
        }
        return;
    }
    const char* names[3] = {};
    if (dbus_message_is_signal(signal, DBUS_INTERFACE_DBUS, "NameOwnerChanged")
        && dbus_message_has_sender(signal, DBUS_SERVICE_DBUS) && dbus_message_has_signature(signal, "sss")
        && dbus_message_get_args(signal, nullptr, DBUS_TYPE_STRING, &names[0], DBUS_TYPE_STRING, &names[1],
                                 DBUS_TYPE_STRING, &names[2], DBUS_TYPE_INVALID)
        && qstrcmp(names[0], kService) == 0)
        onServerOwnerChanged(QString::fromUtf8(names[0]), QString::fromUtf8(names[1]), QString::fromUtf8(names[2]));
}

void FreedesktopChannel::closeActivated(quint64 key)
{
    const auto it = m_toasts.constFind(key);
    // Gone: the server closed it itself right after the action, as some do.
    if (it == m_toasts.cend() || !it->activated)
        return;
    closeOnServer(key);
}

void FreedesktopChannel::onActionInvoked(uint id, const QString& actionKey)
{
    const auto found = m_keyByServerId.constFind(id);
    if (found == m_keyByServerId.cend()) {
        remember(id, {true, actionKey, 0});
        return;
    }
    auto it = m_toasts.find(found.value());
    if (it == m_toasts.end())
        return;
    QString arguments;
    if (!it->document.argumentsForKey(actionKey, &arguments)) {
        qCWarning(lcDelivery) << "toast" << it.key() << "activated with unknown action" << actionKey;
        arguments = actionKey;
    }
    const bool first = !it->activated;
    it->activated = true;
    if (it->sink)
        it->sink->activated(arguments);
    // A Windows toast leaves the screen once activated; some servers keep
    // theirs up after an action. Queued behind signals already received, so
    // a server that closes the toast itself is not asked to.
    if (first)
        QMetaObject::invokeMethod(this, [this, key = it.key()] { closeActivated(key); }, Qt::QueuedConnection);
}

void FreedesktopChannel::onNotificationClosed(uint id, uint reason)
{
    const auto found = m_keyByServerId.constFind(id);
    if (found == m_keyByServerId.cend()) {
        remember(id, {false, QString(), reason});
        return;
    }
    const quint64 key = found.value();
    const auto it = m_toasts.constFind(key);
    if (it == m_toasts.cend())
        return;
    if (it->activated) {
        forget(key); // its close, ours or the server's, is no second outcome
        return;
    }
    dismiss(key, dismissalReason(reason));
}

void FreedesktopChannel::remember(uint id, const EarlyEvent& event)
{
    // Only worth keeping while some Notify is unanswered.
    if (m_inFlight == 0)
        return;
    if (m_early.size() >= kMaxEarlyIds && !m_early.contains(id))
        m_early.clear();
    m_early[id].append(event);
}

void FreedesktopChannel::onServerOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner)
{
    Q_UNUSED(name);
    if (!oldOwner.isEmpty()) {
        qCWarning(lcDelivery).noquote() << "the notification server" << oldOwner << "left the bus"
                                        << (newOwner.isEmpty() ? QString() : QStringLiteral("for ") + newOwner);
        // Its toasts went with it, by no one's choice: not a dismissal by the
        // user, the host or a timeout, but a failure the host may answer by
        // showing the news again. Those waiting for Notify fail alike.
        endAll(freedesktop::ServerGone);
    }
    // A server that arrived is asked for its capabilities by the next toast.
    m_serverOwner = newOwner;
}

void FreedesktopChannel::fail(quint64 key, int hresult)
{
    const Toast toast = forget(key);
    if (toast.sink)
        toast.sink->failed(hresult);
}

void FreedesktopChannel::dismiss(quint64 key, int reason)
{
    const Toast toast = forget(key);
    if (toast.sink)
        toast.sink->dismissed(reason);
}

FreedesktopChannel::Toast FreedesktopChannel::forget(quint64 key)
{
    const Toast toast = m_toasts.take(key);
    // 0 is an id like any other.
    if (toast.stage == Stage::Shown && m_keyByServerId.value(toast.serverId) == key)
        m_keyByServerId.remove(toast.serverId);
    return toast;
}

} // namespace winsim
