#include "umlitepushbutton.h"

#include <QEvent>
#include <QFontMetrics>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace {

// Labels up to about this many characters are never elided to make room.
const int k_keptChars = 16;

} // namespace

UmLitePushButton::UmLitePushButton(QWidget* parent)
    : QPushButton(parent)
{
    // Preferred, not Minimum: a row too narrow for every label squeezes them.
    setSizePolicy(QSizePolicy::Preferred, sizePolicy().verticalPolicy());
}

UmLitePushButton::~UmLitePushButton() = default;

QString UmLitePushButton::shownText() const
{
    refit();
    return m_shown;
}

void UmLitePushButton::setLeastSize(const QSize& size)
{
    if (size == m_leastSize)
        return;
    m_leastSize = size;
    updateGeometry();
}

QSize UmLitePushButton::sizeHint() const
{
    return QPushButton::sizeHint().expandedTo(m_leastSize);
}

QSize UmLitePushButton::minimumSizeHint() const
{
    // The full hint less what of the label may give way.
    const QSize full = QPushButton::sizeHint();
    const QFontMetrics metrics(font());
    const int label = metrics.horizontalAdvance(text());
    const int kept = qMin(label, metrics.averageCharWidth() * k_keptChars);
    return QSize(full.width() - label + kept, full.height()).expandedTo(m_leastSize);
}

void UmLitePushButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text = shownText();
    painter.drawControl(QStyle::CE_PushButton, option);
}

void UmLitePushButton::resizeEvent(QResizeEvent* event)
{
    QPushButton::resizeEvent(event);
    refit();
}

void UmLitePushButton::changeEvent(QEvent* event)
{
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        refit();
}

int UmLitePushButton::labelRoom() const
{
    QStyleOptionButton option;
    initStyleOption(&option);
    int room = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this).width();
    if (!option.icon.isNull())
        room -= option.iconSize.width() + 4; // the styles' gap between icon and text
    return qMax(room, 0);
}

void UmLitePushButton::refit() const
{
    const QString full = text();
    const int room = labelRoom();
    if (full == m_fittedText && room == m_fittedRoom && font() == m_fittedFont)
        return;
    m_fittedText = full;
    m_fittedRoom = room;
    m_fittedFont = font();
    const QFontMetrics metrics(m_fittedFont);
    // elidedText measures with fractional widths and may cut a label that
    // the rounded advance says fits.
    m_shown = metrics.horizontalAdvance(full) <= room ? full : metrics.elidedText(full, Qt::ElideRight, room, Qt::TextShowMnemonic);

    const QString tip = m_shown == full ? QString() : full;
    if (toolTip() == m_ownTip && tip != m_ownTip) {
        auto* self = const_cast<UmLitePushButton*>(this);
        self->setToolTip(tip);
        m_ownTip = tip;
    }
}
