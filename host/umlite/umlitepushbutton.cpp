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
    const int label = labelAdvance();
    const int kept = qMin(label, QFontMetrics(font()).averageCharWidth() * k_keptChars);
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

void UmLitePushButton::changeEvent(QEvent* event)
{
    QPushButton::changeEvent(event);
    // Paddings may have changed with the style; fitted again when next drawn.
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        m_fittedSize = QSize();
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

int UmLitePushButton::labelAdvance() const
{
    if (text() != m_measuredText || font() != m_measuredFont) {
        m_measuredText = text();
        m_measuredFont = font();
        m_advance = QFontMetrics(m_measuredFont).horizontalAdvance(m_measuredText);
    }
    return m_advance;
}

void UmLitePushButton::refit() const
{
    const QString full = text();
    if (full == m_fittedText && size() == m_fittedSize && font() == m_fittedFont && icon().cacheKey() == m_fittedIcon)
        return;
    m_fittedText = full;
    m_fittedSize = size();
    m_fittedFont = font();
    m_fittedIcon = icon().cacheKey();
    const int room = labelRoom();
    // elidedText measures with fractional widths and may cut a label that
    // the rounded advance says fits.
    m_shown = labelAdvance() <= room
        ? full
        : QFontMetrics(m_fittedFont).elidedText(full, Qt::ElideRight, room, Qt::TextShowMnemonic);

    const QString tip = m_shown == full ? QString() : full;
    if (toolTip() == m_ownTip && tip != m_ownTip) {
        auto* self = const_cast<UmLitePushButton*>(this);
        self->setToolTip(tip);
        m_ownTip = tip;
    }
}
