#include "umlitepixmap_p.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPixmapCache>
#include <QWidget>

namespace umlite {

qreal paintedRatio(const QPainter& painter, const QWidget* widget)
{
    const QPaintDevice* target = painter.paintEngine() ? painter.paintEngine()->paintDevice() : nullptr;
    return target ? target->devicePixelRatioF() : widget->devicePixelRatioF();
}

QPixmap devicePixmap(const QIcon& icon, const QSize& size, qreal ratio, QIcon::Mode mode)
{
    const QSize device = (QSizeF(size) * ratio).toSize();
    if (icon.isNull() || device.isEmpty())
        return QPixmap();
    // Scaling smoothly is dear: popups showing the same icon share one copy.
    const QString key = QStringLiteral("umlite-icon-%1-%2x%3@%4-%5")
                            .arg(icon.cacheKey())
                            .arg(device.width())
                            .arg(device.height())
                            .arg(ratio)
                            .arg(int(mode));
    QPixmap cached;
    if (QPixmapCache::find(key, &cached))
        return cached;
    // Asked for device pixels, QIcon hands out its best source at most at its
    // own size, whatever the ratio of the screen: scale that to the box.
    QPixmap pixmap = icon.pixmap(device, mode);
    pixmap.setDevicePixelRatio(1.0);
    if (!pixmap.isNull() && pixmap.size() != pixmap.size().scaled(device, Qt::KeepAspectRatio))
        pixmap = pixmap.scaled(device, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    pixmap.setDevicePixelRatio(ratio);
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

} // namespace umlite
