// Control of the plug-in stand-ins for tests and host programs; the module never
// includes this header.
#pragma once

#include "umliteglobal.h"

#include <QString>

namespace umpluginconfig {
namespace testing {
// Answers dir for name from now on (an empty dir: the plug-in is unknown).
UMLITE_API void setPluginPath(const QString& name, const QString& dir);
// Back to the default: <application dir>/../addons/<name> when that exists.
UMLITE_API void clearPluginPaths();
// How many times getPluginPath was asked.
UMLITE_API int lookups();
} // namespace testing
} // namespace umpluginconfig
