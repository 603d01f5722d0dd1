// Live object count and the reset of the whole simulation.
#include "reset_p.h"
#include "simobject_p.h"

#include <winsim/control.h>

#include <atomic>

namespace {

std::atomic<int> g_liveObjects{0};
std::atomic<int> g_handlersKeptAlive{0};

} // namespace

namespace winsim {
namespace detail {

void countObject(int delta)
{
    g_liveObjects += delta;
}

void countHandlerRelease(ULONG remaining)
{
    if (remaining != 0)
        ++g_handlersKeptAlive;
}

} // namespace detail

namespace control {

int liveObjects()
{
    return g_liveObjects.load();
}

int handlersKeptAlive()
{
    return g_handlersKeptAlive.load();
}

void reset()
{
    clearFaults();
    setCallTraceEnabled(false);
    clearCallTrace();
    g_handlersKeptAlive = 0;
    detail::resetMissingLibraries();
    detail::resetShell();
    detail::resetDelivery();
}

} // namespace control
} // namespace winsim
