#include "toastlineaccessible.h"

#include "middlelitelabel.h"
#include "toastlinelabel.h"

ToastLineAccessible::ToastLineAccessible(ToastLineLabel* line)
    : QAccessibleWidget(line, QAccessible::StaticText)
{
}

ToastLineLabel* ToastLineAccessible::line() const
{
    return static_cast<ToastLineLabel*>(widget());
}

QList<QWidget*> ToastLineAccessible::links() const
{
    QList<QWidget*> found;
    for (MiddleLiteLabel* segment : line()->segmentLabels()) {
        if (!segment->isHidden() && ToastLineLabel::isClickable(segment))
            found << segment;
    }
    return found;
}

QString ToastLineAccessible::text(QAccessible::Text t) const
{
    if (t != QAccessible::Name || !widget()->accessibleName().isEmpty())
        return QAccessibleWidget::text(t);
    // Whole texts: the segments may show theirs elided.
    QString whole;
    for (MiddleLiteLabel* segment : line()->segmentLabels()) {
        if (!segment->isHidden())
            whole += segment->text();
    }
    return whole;
}

// Plain segments are part of the line's text, not objects of their own: a
// screen reader would read their words twice.
int ToastLineAccessible::childCount() const
{
    return links().size();
}

QAccessibleInterface* ToastLineAccessible::child(int index) const
{
    const QList<QWidget*> found = links();
    return index >= 0 && index < found.size() ? QAccessible::queryAccessibleInterface(found.at(index)) : nullptr;
}

int ToastLineAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    return child ? links().indexOf(qobject_cast<QWidget*>(child->object())) : -1;
}
