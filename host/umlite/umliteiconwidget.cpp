#include "umliteiconwidget.h"

#include "umlitepixmap_p.h"

#include <QAccessibleWidget>
#include <QPainter>

namespace {

// An icon reads as an image to assistive technologies, not as an empty pane.
QAccessibleInterface* iconAccessible(const QString& className, QObject* object)
{
    if (className != QLatin1String("UmLiteIconWidget") || !object->isWidgetType())
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Graphic);
}

} // namespace

UmLiteIconWidget::UmLiteIconWidget(QWidget* parent, Qt::WindowFlags flags)
    : UmLiteWidget(parent, flags)
    , m_iconSize(16, 16)
{
    static const bool installed = [] {
        QAccessible::installFactory(iconAccessible);
        return true;
    }();
    Q_UNUSED(installed)
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
