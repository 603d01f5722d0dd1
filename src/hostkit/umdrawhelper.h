#pragma once

#include "umliteglobal.h"

#include <QIcon>
#include <QString>

// Icon loaders; each answers a null icon when nothing is found.
class UMLITE_API UmDrawHelper
{
public:
    // An icon of the skin by name (registered resources first, then the icon theme).
    static QIcon loadIcon(const QString& name);
    // An .ico file; when the file is missing, the skin's .ico of the same base name.
    static QIcon loadIcoIcon(const QString& path);
    // The icon of a file type. large prefers the bigger artwork; fallbackToGeneric
    // answers the generic document icon for unknown suffixes instead of null.
    static QIcon loadFileIconBySuffix(const QString& suffix, bool large, bool fallbackToGeneric);
};
