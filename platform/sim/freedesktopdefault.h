// The freedesktop back end as the notifier's default on a real desktop.
#pragma once

#include <winsim/delivery.h>

#include <memory>

namespace winsim {
namespace detail {

bool osVersionPinned();

// True when no OS version is pinned and the session bus has a notification
// server (the same question the version seam asks; a short bus call).
bool desktopHasNotificationServer();

// The process's freedesktop back end while no version is pinned, once the
// desktop had a server; null otherwise (tests that pin a version keep the
// in-memory back end). Once made it stays, also when the server goes away: it
// then reports each toast as failed.
std::shared_ptr<DeliveryBackend> desktopDeliveryBackend();

} // namespace detail
} // namespace winsim
