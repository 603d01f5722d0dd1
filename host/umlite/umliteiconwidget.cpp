#include "umliteiconwidget.h"

#include "umlitepixmap_p.h"

#include <QPainter>

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

void UmLiteIconWidget::paintEvent(QPaintEvent* event)
{
    UmLiteWidget::paintEvent(event);
    if (m_icon.isNull())
        return;
    QPainter painter(this);
    const qreal ratio = umlite::paintedRatio(painter, this);
    const QPixmap pixmap = umlite::devicePixmap(m_icon, m_iconSize, ratio, isEnabled() ? QIcon::Normal : QIcon::Disabled);
    if (pixmap.isNull())
        return;
    QRect box(QPoint(0, 0), (QSizeF(pixmap.size()) / ratio).toSize());
    box.moveCenter(contentsRect().center());
    painter.drawPixmap(box, pixmap);
}
