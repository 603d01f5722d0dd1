#pragma once

#include "umliteglobal.h"

#include <QMargins>
#include <QSize>

// Lengths are given in logical pixels at 96 dpi and scaled to the primary
// screen's logical dpi.
class UMLITE_API UmLiteStyle
{
public:
    static double dpiScale();
    static double dpiScaled(double value);
    static QSize dpiScaledSize(int width, int height);
    static QSize dpiScaledSize(const QSize& size);
    static QMargins dpiScaledMargins(const QMargins& margins);
    static QMargins dpiScaledMargins(int left, int top, int right, int bottom);
};
