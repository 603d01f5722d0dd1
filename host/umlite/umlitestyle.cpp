#include "umlitestyle.h"

#include <QGuiApplication>
#include <QScreen>

double UmLiteStyle::dpiScale()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return 1.0;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 1.0;
    const qreal dpi = screen->logicalDotsPerInch();
    return dpi > 0 ? dpi / 96.0 : 1.0;
}

double UmLiteStyle::dpiScaled(double value)
{
    return value * dpiScale();
}

QSize UmLiteStyle::dpiScaledSize(int width, int height)
{
    return QSize(int(dpiScaled(width)), int(dpiScaled(height)));
}

QSize UmLiteStyle::dpiScaledSize(const QSize& size)
{
    return dpiScaledSize(size.width(), size.height());
}

QMargins UmLiteStyle::dpiScaledMargins(const QMargins& margins)
{
    return dpiScaledMargins(margins.left(), margins.top(), margins.right(), margins.bottom());
}

QMargins UmLiteStyle::dpiScaledMargins(int left, int top, int right, int bottom)
{
    return QMargins(int(dpiScaled(left)), int(dpiScaled(top)), int(dpiScaled(right)), int(dpiScaled(bottom)));
}
