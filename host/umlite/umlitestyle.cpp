#include "umlitestyle.h"

#include "umlitestyle_p.h"

#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>
#include <QStringList>

namespace {

const QScreen* primaryScreen()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return nullptr;
    return QGuiApplication::primaryScreen();
}

#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
// Qt 5's own rule for scaling by the screens' pixel density: one setting
// turned off vetoes every one turned on.
bool qtScalesByPixelDensity()
{
    if (QCoreApplication::testAttribute(Qt::AA_DisableHighDpiScaling))
        return false;
    bool autoSet = false;
    bool enableSet = false;
    const int autoValue = qEnvironmentVariableIntValue("QT_AUTO_SCREEN_SCALE_FACTOR", &autoSet);
    const int enableValue = qEnvironmentVariableIntValue("QT_ENABLE_HIGHDPI_SCALING", &enableSet);
    if ((autoSet && autoValue < 1) || (enableSet && enableValue < 1))
        return false;
    return QCoreApplication::testAttribute(Qt::AA_EnableHighDpiScaling) || autoSet || enableSet
        || qgetenv("QT_DEVICE_PIXEL_RATIO").toLower() == "auto";
}

// What QT_SCREEN_SCALE_FACTORS asks for the screen: entries separated by ';',
// each a factor for the screen at that position or "NAME=factor".
double requestedFactor(const QScreen* screen)
{
    const QStringList entries = qEnvironmentVariable("QT_SCREEN_SCALE_FACTORS").split(QLatin1Char(';'));
    const int position = QGuiApplication::screens().indexOf(const_cast<QScreen*>(screen));
    for (int i = 0; i < entries.size(); ++i) {
        const QString& entry = entries.at(i);
        const int equals = entry.lastIndexOf(QLatin1Char('='));
        bool ok = false;
        const double factor = (equals > 0 ? entry.mid(equals + 1) : entry).toDouble(&ok);
        if (ok && factor > 0 && (equals > 0 ? entry.left(equals) == screen->name() : i == position))
            return factor;
    }
    return 1.0;
}
#endif

} // namespace

namespace umlite {

// Qt 5 reports a screen's DPI divided by the factor QT_SCREEN_SCALE_FACTORS gives
// it, unless it scales by pixel density, so that point sizes keep their device
// size while every other length grows by that factor. Lengths scaled by that DPI
// would not grow at all: the kit multiplies the factor back, so that the
// variable does what QT_SCALE_FACTOR does. Qt 6 does not divide.
double screenFactorMissingFromDpi()
{
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    const QScreen* screen = primaryScreen();
    if (!screen || qEnvironmentVariableIsEmpty("QT_SCREEN_SCALE_FACTORS") || qtScalesByPixelDensity())
        return 1.0;
    return requestedFactor(screen);
#else
    return 1.0;
#endif
}

QString withScreenFactorInPointSizes(const QString& sheet)
{
    const double factor = screenFactorMissingFromDpi();
    if (factor == 1.0)
        return sheet;
    static const QRegularExpression pointSize(QStringLiteral("(?<![\\w.])(\\d+(?:\\.\\d+)?)pt\\b"));
    QString out;
    int from = 0;
    QRegularExpressionMatchIterator it = pointSize.globalMatch(sheet);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        out += sheet.mid(from, match.capturedStart() - from);
        out += QString::number(match.captured(1).toDouble() * factor) + QLatin1String("pt");
        from = match.capturedEnd();
    }
    return out + sheet.mid(from);
}

} // namespace umlite

double UmLiteStyle::dpiScale()
{
    const QScreen* screen = primaryScreen();
    if (!screen)
        return 1.0;
    const qreal dpi = screen->logicalDotsPerInch();
    return dpi > 0 ? dpi / 96.0 * umlite::screenFactorMissingFromDpi() : 1.0;
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
