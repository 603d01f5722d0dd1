#include "umliteiconwidget.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPixmapCache>

UmLiteIconWidget::UmLiteIconWidget(QWidget* parent, Qt::WindowFlags flags)
    : UmLiteWidget(parent, flags)
    , m_iconSize(16, 16)
{
}

UmLiteIconWidget::~UmLiteIconWidget() = default;

void UmLiteIconWidget::setIcon(const QIcon& icon)
{
    m_icon = icon;
    update();
}

QIcon UmLiteIconWidget::icon() const
{
    return m_icon;
}

void UmLiteIconWidget::setIconSize(const QSize& size)
{
    if (size == m_iconSize)
        return;
    m_iconSize = size;
    updateGeometry();
    update();
}

QSize UmLiteIconWidget::iconSize() const
{
    return m_iconSize;
}

QSize UmLiteIconWidget::sizeHint() const
{
    const QMargins margins = contentsMargins();
    return m_iconSize.grownBy(margins);
}

QSize UmLiteIconWidget::minimumSizeHint() const
{
    return sizeHint();
}

QPixmap UmLiteIconWidget::scaledPixmap(qreal ratio, QIcon::Mode mode) const
{
    const QSize device = (QSizeF(m_iconSize) * ratio).toSize();
    if (device.isEmpty())
        return QPixmap();
    // Scaling smoothly is dear: popups showing the same icon share one copy.
    const QString key = QStringLiteral("umlite-icon-%1-%2x%3@%4-%5")
                            .arg(m_icon.cacheKey())
                            .arg(device.width())
                            .arg(device.height())
                            .arg(ratio)
                            .arg(int(mode));
    QPixmap cached;
    if (QPixmapCache::find(key, &cached))
        return cached;
    // QIcon hands out a file's pixmap at most at its own size, and paints it
    // that small in the middle of the box: scale it to the box instead.
    QPixmap pixmap = m_icon.pixmap(device, mode);
    pixmap.setDevicePixelRatio(1.0);
    if (!pixmap.isNull() && pixmap.size() != pixmap.size().scaled(device, Qt::KeepAspectRatio))
        pixmap = pixmap.scaled(device, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    pixmap.setDevicePixelRatio(ratio);
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

void UmLiteIconWidget::paintEvent(QPaintEvent* event)
{
    UmLiteWidget::paintEvent(event);
    if (m_icon.isNull())
        return;
    QPainter painter(this);
    // The ratio of what is painted on: a window's backing store, or an image
    // the widget is rendered into.
    const QPaintDevice* target = painter.paintEngine() ? painter.paintEngine()->paintDevice() : nullptr;
    const qreal ratio = target ? target->devicePixelRatioF() : devicePixelRatioF();
    const QPixmap pixmap = scaledPixmap(ratio, isEnabled() ? QIcon::Normal : QIcon::Disabled);
    if (pixmap.isNull())
        return;
    QRect box(QPoint(0, 0), (QSizeF(pixmap.size()) / ratio).toSize());
    box.moveCenter(contentsRect().center());
    painter.drawPixmap(box, pixmap);
}
