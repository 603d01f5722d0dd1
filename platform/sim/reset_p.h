// What control::reset() puts back, one function per simulated area.
#pragma once

namespace winsim {
namespace detail {

void resetMissingLibraries();
void resetDelivery();
void resetShell();

} // namespace detail
} // namespace winsim
