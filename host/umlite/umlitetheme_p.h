#pragma once

#include <QString>

class QWidget;

namespace umlite {
// Gives widget the current theme's sheet for themeClass and re-polishes it.
void applyThemeSheet(QWidget* widget, const QString& themeClass, bool withChildren);
} // namespace umlite
