// Which back end the notifier delivers to, and the controls of the in-memory one.
#include "freedesktopdefault.h"
#include "inmemorydelivery_p.h"
#include "reset_p.h"

#include <mutex>

namespace {

struct DeliveryState
{
    std::mutex mutex;
    std::shared_ptr<winsim::InMemoryDelivery> inMemory = std::make_shared<winsim::InMemoryDelivery>();
    std::shared_ptr<winsim::DeliveryBackend> installed;
};

DeliveryState& state()
{
    // Never destroyed: shown toasts keep notifications whose handlers live in
    // libraries that may already be gone at static destruction.
    static DeliveryState* s = new DeliveryState;
    return *s;
}

std::shared_ptr<winsim::InMemoryDelivery> inMemory()
{
    std::lock_guard<std::mutex> lock(state().mutex);
    return state().inMemory;
}

} // namespace

namespace winsim {

namespace control {

void setDeliveryBackend(std::shared_ptr<DeliveryBackend> backend)
{
    std::lock_guard<std::mutex> lock(state().mutex);
    state().installed = std::move(backend);
}

std::shared_ptr<DeliveryBackend> deliveryBackend()
{
    {
        std::lock_guard<std::mutex> lock(state().mutex);
        if (state().installed)
            return state().installed;
    }
    // Unpinned on a desktop with a notification server: real toasts.
    if (std::shared_ptr<DeliveryBackend> desktop = detail::desktopDeliveryBackend())
        return desktop;
    return inMemory();
}

QVector<ShownToast> shownToasts()
{
    return inMemory()->shown();
}

void clearShownToasts()
{
    inMemory()->clear();
}

bool raiseActivated(quint64 key, const QString& arguments)
{
    std::shared_ptr<ToastEventSink> sink = inMemory()->sinkOf(key, false);
    if (!sink)
        return false;
    sink->activated(arguments);
    return true;
}

bool raiseDismissed(quint64 key, int reason)
{
    std::shared_ptr<ToastEventSink> sink = inMemory()->sinkOf(key, true);
    if (!sink)
        return false;
    sink->dismissed(reason);
    return true;
}

bool raiseFailed(quint64 key, qint32 errorCode)
{
    std::shared_ptr<ToastEventSink> sink = inMemory()->sinkOf(key, true);
    if (!sink)
        return false;
    sink->failed(errorCode);
    return true;
}

} // namespace control

namespace detail {

void resetDelivery()
{
    control::setDeliveryBackend(nullptr);
    control::clearShownToasts();
}

} // namespace detail
} // namespace winsim
