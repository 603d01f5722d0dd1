#include "freedesktopdefault.h"

#include "freedesktopbackend.h"

#include <QMutex>
#include <QMutexLocker>

namespace winsim {
namespace detail {

std::shared_ptr<DeliveryBackend> desktopDeliveryBackend()
{
    // Never destroyed: its thread and bus connection must outlive every
    // notification that still points at it.
    static QMutex mutex;
    static std::shared_ptr<DeliveryBackend>* made = nullptr;
    if (osVersionPinned())
        return nullptr;
    {
        QMutexLocker lock(&mutex);
        if (made)
            return *made;
    }
    if (!desktopHasNotificationServer())
        return nullptr;
    QMutexLocker lock(&mutex);
    if (!made)
        made = new std::shared_ptr<DeliveryBackend>(std::make_shared<FreedesktopBackend>());
    return *made;
}

} // namespace detail
} // namespace winsim
