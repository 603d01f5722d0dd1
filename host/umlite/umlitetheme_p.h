#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace umlite {
// Gives widget the theme class and makes the current theme's rules for it
// reach it. The rules live in one sheet at the widget's scope root (the
// nearest ancestor already holding one, else its window), so a dialog full
// of themed widgets is parsed and inherited once, not once per widget.
// ownsScope: the widget is a root itself; its sheet waits until the widget
// is first measured, shown or polished (see settleThemeSheet).
void applyThemeSheet(QWidget* widget, const QString& themeClass, bool withChildren, bool ownsScope = false);

// A root whose sheet waits for its polish takes it now; a window without a
// parent joins the hidden holder of its classes' sheet instead. Setting a
// window's first sheet while Qt polishes it makes Qt polish it twice, and
// parse the sheet twice: settle it before showing or measuring.
void settleThemeSheet(QWidget* root);

// sheet with every selector narrowed to widgets of themeClass and their
// descendants, which is what the sheet reached as a widget's own sheet.
QString scopedSheet(const QString& sheet, const QString& themeClass);

// sheet as the root that has its class carries it among other classes' rules.
QString rootSheet(const QString& sheet);

// The sheet a scope root carries for these classes in the current theme;
// rootClass is the class the root itself has.
QString composedSheet(const QStringList& themeClasses, const QString& rootClass = QString());

// Cached sheet texts are stale once more resources are registered.
void forgetThemeSheets();
} // namespace umlite
