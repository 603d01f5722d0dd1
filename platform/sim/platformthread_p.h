// The thread on which the platform raises the events of toasts. Windows calls
// event handlers on threads of its own, never on the thread that registered
// them; so does the simulation.
#pragma once

#include <functional>

namespace winsim {
namespace platformthread {

// Runs the task later on the platform's event thread, in posting order.
void post(std::function<void()> task);
// Waits until every task posted so far has run; false on timeout.
bool flush(int timeoutMs);
bool isCurrent();

} // namespace platformthread
} // namespace winsim
