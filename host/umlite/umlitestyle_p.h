#pragma once

class QString;

namespace umlite {
// The factor by which Qt's reported DPI falls short of the scale Qt applies to
// the primary screen (see umlitestyle.cpp); 1 almost always.
double screenFactorMissingFromDpi();

// sheet with every point size multiplied by that factor.
QString withScreenFactorInPointSizes(const QString& sheet);
} // namespace umlite
