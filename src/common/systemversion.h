#pragma once

#include <QOperatingSystemVersion>

// The running system's version; the one place the module asks for it.
QOperatingSystemVersion currentSystemVersion();
