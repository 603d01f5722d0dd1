#include "freedesktopsignals.h"

namespace winsim {

FreedesktopSignals::FreedesktopSignals(const QDBusConnection& connection, QObject* parent)
    : QDBusAbstractInterface(QString(), QStringLiteral("/org/freedesktop/Notifications"),
                             "org.freedesktop.Notifications", connection, parent)
{
}

} // namespace winsim
