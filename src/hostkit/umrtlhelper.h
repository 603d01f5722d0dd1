#pragma once

#include "umliteglobal.h"

#include <QRect>

class UMLITE_API UmRTLHelper
{
public:
    // The application's layout direction (left-to-right without an application).
    static Qt::LayoutDirection layoutDirection();
    // rect mirrored horizontally inside bounds for right-to-left, unchanged otherwise.
    static QRect toVisualRect(const QRect& bounds, const QRect& rect, Qt::LayoutDirection direction);
};
