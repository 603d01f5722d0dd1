// The back end's side of the session bus. Lives on the back end's thread: every
// member runs there, and so does every call into a sink.
#pragma once

#include "freedesktoptoast.h"

#include <winsim/delivery.h>

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QVector>

#include <memory>

struct DBusMessage;

namespace winsim {

class BusWire;

class FreedesktopChannel : public QObject
{
    Q_OBJECT
public:
    explicit FreedesktopChannel(int callTimeoutMs);
    ~FreedesktopChannel() override;

    void open();
    // Leaves the bus; runs on the channel's thread before it ends.
    void close();
    void show(const ToastDelivery& delivery, const std::shared_ptr<ToastEventSink>& sink);
    void hide(quint64 key);

private:
    enum class Stage { Queued, Sending, Shown };
    enum class Capabilities { Unknown, Asking, Known };

    struct Toast
    {
        FreedesktopToast document;
        QString appUserModelId;
        std::shared_ptr<ToastEventSink> sink;
        Stage stage = Stage::Queued;
        quint32 serverId = 0;
        bool hideRequested = false;
        bool activated = false;
        bool closeSent = false;
        QElapsedTimer sentAt;
        quint32 notifySerial = 0;
    };

    // Server signals that overtook the answer to their Notify call.
    struct EarlyEvent
    {
        bool action;
        QString actionKey;
        uint reason;
    };

    // Opens the wire, or opens it again after it was lost; false without a bus.
    bool connectBus();
    void onDisconnected();
    void closeStranded();
    void askServerOwner();
    void onServerOwner(DBusMessage* reply, quint64 generation);
    // Whether the message comes from the server that owns the name now.
    bool fromServer(DBusMessage* message) const;
    void onLateReply(DBusMessage* reply);
    void askCapabilities();
    void onCapabilities(DBusMessage* reply, quint64 generation);
    void pump();
    void send(quint64 key);
    void failQueued(int hresult);
    void onNotifyReply(DBusMessage* reply, quint64 key, quint64 generation);
    void onCloseReply(DBusMessage* reply, quint64 key, quint32 id, quint64 generation);
    void onSignal(DBusMessage* signal);
    void closeOnServer(quint64 key);
    // Closes a notification of ours that no toast stands for any more.
    void closeUnowned(quint32 id);
    void closeActivated(quint64 key);
    void onActionInvoked(uint id, const QString& actionKey);
    void onNotificationClosed(uint id, uint reason);
    void onServerOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner);
    void remember(uint id, const EarlyEvent& event);
    // Every toast ends: activated ones quietly, the others failed with this result.
    void endAll(int hresult);
    void fail(quint64 key, int hresult);
    void dismiss(quint64 key, int reason);
    // Drops the toast without telling its sink.
    Toast forget(quint64 key);

    const int m_callTimeoutMs;
    BusWire* m_wire = nullptr;

    Capabilities m_capabilitiesState = Capabilities::Unknown;
    QStringList m_capabilities;
    QElapsedTimer m_capabilitiesAskedAt;
    // Counts server departures and lost connections, so that answers of a
    // server that left, or that came on a closed connection, are ignored.
    quint64 m_generation = 0;
    // The unique name of the server, empty while there is none: only it
    // answers Notify and speaks for the toasts it shows.
    QString m_serverOwner;

    QHash<quint64, Toast> m_toasts;
    // Toasts not yet sent, oldest first. Only a few Notify calls are on the bus
    // at once, so that each call's timeout measures the server, not our burst.
    QList<quint64> m_queue;
    int m_inFlight = 0;
    QHash<quint32, quint64> m_keyByServerId;
    QHash<quint32, QVector<EarlyEvent>> m_early;
    // Toasts shown on a connection that dropped: reported failed, and closed
    // once connected again, if the bus and the server are still the same
    // (unique names are only unique on one bus).
    struct Stranded
    {
        QString busId;
        QString server;
        QVector<quint32> ids;
    };
    Stranded m_stranded;
    // Notify calls another client answered in the server's place, by serial:
    // the server's own answer still comes, past libdbus, until the timeout.
    QHash<quint32, quint64> m_awaitedAnswers;
    // Notify calls given up on, oldest first: their toasts were reported
    // failed, so an id the server names late is closed at once.
    QVector<quint32> m_abandonedCalls;
};

} // namespace winsim
