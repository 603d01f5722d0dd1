// Live object count and the reset of the whole simulation.
#include "reset_p.h"
#include "simobject_p.h"

#include <winsim/control.h>

#include <atomic>

namespace {

std::atomic<int> g_liveObjects{0};

} // namespace

namespace winsim {
namespace detail {

void countObject(int delta)
{
    g_liveObjects += delta;
}

} // namespace detail

namespace control {

int liveObjects()
{
    return g_liveObjects.load();
}

void reset()
{
    clearFaults();
    setCallTraceEnabled(false);
    clearCallTrace();
    detail::resetMissingLibraries();
    detail::resetShell();
    detail::resetDelivery();
}

} // namespace control
} // namespace winsim
