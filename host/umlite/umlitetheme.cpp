#include "umlitetheme_p.h"

#include "umskin.h"

#include <QStyle>
#include <QVariant>
#include <QWidget>

namespace umlite {

void applyThemeSheet(QWidget* widget, const QString& themeClass, bool withChildren)
{
    if (!widget)
        return;
    widget->setProperty("umThemeClass", themeClass);
    const QString sheet = UmLiteSkin::themeStyleSheet(themeClass);
    if (widget->styleSheet() != sheet) {
        widget->setStyleSheet(sheet);
    } else {
        // Same text but the theme's properties may have changed underneath.
        widget->style()->unpolish(widget);
        widget->style()->polish(widget);
    }
    if (!withChildren)
        return;
    const QList<QWidget*> children = widget->findChildren<QWidget*>();
    for (QWidget* child : children) {
        child->style()->unpolish(child);
        child->style()->polish(child);
    }
}

} // namespace umlite
