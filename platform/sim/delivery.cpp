#include <winsim/delivery.h>

namespace winsim {

// Out of line, so that the vtables of both interfaces live in the platform library.
ToastEventSink::~ToastEventSink() = default;
DeliveryBackend::~DeliveryBackend() = default;

} // namespace winsim
