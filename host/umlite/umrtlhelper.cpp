#include "umrtlhelper.h"

#include <QGuiApplication>

Qt::LayoutDirection UmRTLHelper::layoutDirection()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return Qt::LeftToRight;
    return QGuiApplication::layoutDirection();
}

QRect UmRTLHelper::toVisualRect(const QRect& bounds, const QRect& rect, Qt::LayoutDirection direction)
{
    if (direction != Qt::RightToLeft)
        return rect;
    // Same distance from the left edge as rect had from the right one.
    QRect mirrored = rect;
    mirrored.moveLeft(bounds.left() + bounds.right() - rect.right());
    return mirrored;
}
