#include "freedesktopchannel.h"

#include "freedesktopbackend.h"
#include "freedesktopsignals.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QLoggingCategory>

#include <algorithm>

namespace winsim {

namespace {

Q_LOGGING_CATEGORY(lcDelivery, "winsim.freedesktop")

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");

// Signals for ids nobody waits for are dropped beyond this many.
constexpr int kMaxEarlyIds = 64;
// Notify calls on the bus at once; a slow server (dunst takes tens of
// milliseconds per toast on a virtual display) still answers each in time.
constexpr int kMaxInFlight = 8;

QDBusMessage serverCall(const QString& method)
{
    QDBusMessage message = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
    // A server that is not running is not started: activation may take far
    // longer than the caller can wait, and fails without a display anyway.
    message.setAutoStartService(false);
    return message;
}

int failureResult(const QDBusError& error, bool waitedFullTimeout)
{
    switch (error.type()) {
    case QDBusError::ServiceUnknown:
    case QDBusError::Disconnected:
        return freedesktop::ServerUnavailable;
    case QDBusError::NoReply:
    case QDBusError::Timeout:
    case QDBusError::TimedOut:
        // The bus also says NoReply when the server leaves without answering.
        return waitedFullTimeout ? freedesktop::CallTimedOut : freedesktop::ServerGone;
    default:
        break;
    }
    if (error.name() == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner"))
        return freedesktop::ServerUnavailable;
    return freedesktop::ServerRefused;
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
    , m_connectionName(QStringLiteral("winsim-freedesktop-%1").arg(reinterpret_cast<quintptr>(this), 0, 16))
    , m_bus(QString())
{
}

FreedesktopChannel::~FreedesktopChannel()
{
    delete m_signals;
    delete m_serverWatcher;
    if (m_bus.isConnected())
        QDBusConnection::disconnectFromBus(m_connectionName);
}

void FreedesktopChannel::open()
{
    m_bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_connectionName);
    if (!m_bus.isConnected()) {
        qCWarning(lcDelivery) << "no session bus, toasts will fail:" << m_bus.lastError().message();
        return;
    }
    m_signals = new FreedesktopSignals(m_bus, this);
    connect(m_signals, &FreedesktopSignals::ActionInvoked, this, &FreedesktopChannel::onActionInvoked);
    connect(m_signals, &FreedesktopSignals::NotificationClosed, this, &FreedesktopChannel::onNotificationClosed);
    m_serverWatcher = new QDBusServiceWatcher(kService, m_bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(m_serverWatcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            &FreedesktopChannel::onServerOwnerChanged);
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
    if (!m_bus.isConnected()) {
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
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(serverCall(QStringLiteral("GetCapabilities")),
                                                                m_callTimeoutMs),
                                                this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, generation](QDBusPendingCallWatcher* w) { onCapabilities(w, generation); });
}

void FreedesktopChannel::onCapabilities(QDBusPendingCallWatcher* watcher, quint64 generation)
{
    watcher->deleteLater();
    if (generation != m_generation)
        return; // asked a server that has left; its departure ended the waiting toasts

    const QDBusPendingReply<QStringList> reply = *watcher;
    if (reply.isError()) {
        m_capabilitiesState = Capabilities::Unknown;
        const int hresult =
            failureResult(reply.error(), m_capabilitiesAskedAt.elapsed() >= m_callTimeoutMs * 9 / 10);
        qCWarning(lcDelivery).noquote() << "no notification server:" << reply.error().message() << "-> failing"
                                        << m_queue.size() << "toast(s) with" << hex(hresult);
        failQueued(hresult);
        return;
    }
    m_capabilities = reply.value();
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

    QDBusMessage message = serverCall(QStringLiteral("Notify"));
    message << request.appName << uint(0) << request.appIcon << request.summary << request.body << request.actions
            << request.hints << qint32(request.timeoutMs);
    it->stage = Stage::Sending;
    it->sentAt.start();
    ++m_inFlight;
    const quint64 generation = m_generation;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(message, m_callTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, key, generation](QDBusPendingCallWatcher* w) { onNotifyReply(w, key, generation); });
}

void FreedesktopChannel::onNotifyReply(QDBusPendingCallWatcher* watcher, quint64 key, quint64 generation)
{
    watcher->deleteLater();
    if (generation != m_generation)
        return; // the server left; its departure ended the toast
    --m_inFlight;
    auto it = m_toasts.find(key);
    if (it == m_toasts.end() || it->stage != Stage::Sending) {
        pump();
        return;
    }

    const QDBusMessage reply = watcher->reply();
    if (reply.type() == QDBusMessage::ErrorMessage) {
        const QDBusError error(reply);
        const bool fullWait = it->sentAt.elapsed() >= m_callTimeoutMs * 9 / 10;
        const int hresult = failureResult(error, fullWait);
        qCWarning(lcDelivery).noquote() << "Notify of toast" << key << "failed:" << error.name() << error.message()
                                        << "->" << hex(hresult);
        fail(key, hresult);
        // A server that answers nothing in time will not serve the queue either.
        if (hresult == freedesktop::CallTimedOut || hresult == freedesktop::ServerUnavailable)
            failQueued(hresult);
        pump();
        return;
    }
    if (reply.signature() != QLatin1String("u")) {
        qCWarning(lcDelivery).noquote() << "Notify of toast" << key << "answered with signature"
                                        << reply.signature() << "instead of an id";
        fail(key, freedesktop::BadReply);
        pump();
        return;
    }

    const quint32 id = reply.arguments().at(0).toUInt();
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
    const quint32 id = toast->serverId;
    QDBusMessage message = serverCall(QStringLiteral("CloseNotification"));
    message << id;
    const quint64 generation = m_generation;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(message, m_callTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, key, id, generation](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        if (!w->isError() || generation != m_generation)
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
        qCWarning(lcDelivery).noquote() << "CloseNotification of toast" << key << "failed:" << w->error().message();
        dismiss(key, 1);
    });
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
    if (m_toasts.value(key).activated) {
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
    if (oldOwner.isEmpty())
        return; // a server arrived; the next toast asks for its capabilities
    qCWarning(lcDelivery).noquote() << "the notification server" << oldOwner << "left the bus"
                                    << (newOwner.isEmpty() ? QString() : QStringLiteral("for ") + newOwner);
    ++m_generation;
    m_capabilitiesState = Capabilities::Unknown;
    m_capabilities.clear();
    m_early.clear();
    m_queue.clear();
    m_inFlight = 0;

    QVector<quint64> keys = m_toasts.keys().toVector();
    std::sort(keys.begin(), keys.end());
    for (quint64 key : keys) {
        const Toast& toast = m_toasts.find(key).value();
        if (toast.activated)
            forget(key); // its outcome was the activation
        else if (toast.stage == Stage::Shown)
            dismiss(key, freedesktop::ServerGoneReason);
        else
            fail(key, freedesktop::ServerGone);
    }
}

void FreedesktopChannel::fail(quint64 key, int hresult)
{
    const Toast toast = m_toasts.take(key);
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
    if (toast.serverId != 0 && m_keyByServerId.value(toast.serverId) == key)
        m_keyByServerId.remove(toast.serverId);
    return toast;
}

} // namespace winsim
