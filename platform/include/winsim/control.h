// Control surface of the simulated platform, for tests and the host program.
// The module itself never includes this header.
#pragma once

#include <QString>
#include <QVersionNumber>

#ifndef WINSIM_API
#define WINSIM_API __attribute__((visibility("default")))
#endif

namespace winsim {
namespace control {

// Pins the Windows version the platform reports; a null version means "not Windows".
WINSIM_API void pinOsVersion(const QVersionNumber& version);
// Back to what the simulation detects by itself.
WINSIM_API void unpinOsVersion();
// The version currently reported; null when the platform is not Windows.
WINSIM_API QVersionNumber osVersion();

} // namespace control
} // namespace winsim
