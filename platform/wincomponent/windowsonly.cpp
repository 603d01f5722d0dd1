// What the component leaves out of the simulation: no desktop notification
// server (toasts stay in memory for the test host), no libraries made missing,
// no simulated shell.
#include "../sim/freedesktopdefault.h"
#include "../sim/reset_p.h"

namespace winsim {
namespace detail {

std::shared_ptr<DeliveryBackend> desktopDeliveryBackend()
{
    return nullptr;
}

void resetMissingLibraries() {}
void resetShell() {}

} // namespace detail
} // namespace winsim
