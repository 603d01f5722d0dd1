#pragma once

#include "umliteglobal.h"

#include <QString>

// The host's static plug-in configuration.
namespace umpluginconfig {
// The directory of the named plug-in; empty when the configuration does not know it.
UMLITE_API QString getPluginPath(const QString& name, const QString& variant);
} // namespace umpluginconfig
