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

#include <QVector>
#include <cstdint>

namespace winsim {
namespace control {

struct WindowPosCall
{
    quintptr window;
    qintptr insertAfter;
    unsigned int flags;
};

// Every SetWindowPos call so far, oldest first.
WINSIM_API QVector<WindowPosCall> windowPosCalls();
WINSIM_API void clearWindowPosCalls();

// How many GetModuleHandleW lookups the process made (tests check that a
// lookup by name did or did not happen).
WINSIM_API int moduleHandleLookups();

} // namespace control
} // namespace winsim
