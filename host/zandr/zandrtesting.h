// Control of the runtime stand-in for tests; the module never includes this header.
#pragma once

#include "zandr.h"

namespace zandr {
namespace testing {
// Empty: back to the default (the parent of the application's directory).
ZANDR_API void setFrameworks(const QString& dir);
ZANDR_API void setOfficeInstallRoot(const QString& dir);
// How many times any zandr function was called.
ZANDR_API int calls();
} // namespace testing
} // namespace zandr
