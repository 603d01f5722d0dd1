#include "toastsegmentaccessible.h"

#include "middlelitelabel.h"
#include "toastlinelabel.h"

ToastSegmentAccessible::ToastSegmentAccessible(MiddleLiteLabel* segment)
    : QAccessibleWidget(segment, QAccessible::StaticText)
{
}

MiddleLiteLabel* ToastSegmentAccessible::segment() const
{
    return static_cast<MiddleLiteLabel*>(widget());
}

// A line's segments are reused by later updates, clickable or not.
bool ToastSegmentAccessible::clickable() const
{
    return ToastLineLabel::isClickable(segment());
}

QAccessible::Role ToastSegmentAccessible::role() const
{
    return clickable() ? QAccessible::Link : QAccessible::StaticText;
}

QString ToastSegmentAccessible::text(QAccessible::Text t) const
{
    if (t != QAccessible::Name || !widget()->accessibleName().isEmpty())
        return QAccessibleWidget::text(t);
    return segment()->text();
}

QStringList ToastSegmentAccessible::actionNames() const
{
    return clickable() ? QStringList{pressAction()} : QStringList();
}

// What the mouse does: the line decides, as for a click, whether the segment
// reports and what.
void ToastSegmentAccessible::doAction(const QString& actionName)
{
    if (actionName == pressAction() && clickable())
        emit segment()->labelClicked();
}
