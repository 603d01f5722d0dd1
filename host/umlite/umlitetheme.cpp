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
    // A new sheet re-polishes the whole subtree by itself; the same sheet
    // again changes nothing, and polishing a dialog's tree is not cheap.
    if (widget->styleSheet() != sheet) {
        widget->setStyleSheet(sheet);
        return;
    }
    if (!withChildren)
        return;
    // Asked for explicitly: descendants whose dynamic properties changed.
    const QList<QWidget*> children = widget->findChildren<QWidget*>();
    for (QWidget* child : children) {
        child->style()->unpolish(child);
        child->style()->polish(child);
    }
}

} // namespace umlite
