// The signals of the notification server, as Qt signals. QtDBus relays a bus
// signal to any interface object that declares a signal of the same name.
#pragma once

#include <QDBusAbstractInterface>

namespace winsim {

class FreedesktopSignals : public QDBusAbstractInterface
{
    Q_OBJECT
public:
    // Listens to any sender: the server's unique name changes when it restarts,
    // and only the connection that called Notify receives these anyway.
    explicit FreedesktopSignals(const QDBusConnection& connection, QObject* parent = nullptr);

Q_SIGNALS:
    void ActionInvoked(uint id, const QString& actionKey);
    void NotificationClosed(uint id, uint reason);
};

} // namespace winsim
