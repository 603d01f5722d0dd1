#include "umlitelabel.h"

#include "umlitetheme_p.h"

#include <QFontMetrics>
#include <QResizeEvent>

UmLiteLabel::UmLiteLabel(QWidget* parent, Qt::WindowFlags flags)
    : QLabel(parent, flags)
{
}

UmLiteLabel::~UmLiteLabel() = default;

void UmLiteLabel::applyThemeClass(const QString& themeClass, bool withChildren)
{
    m_themeClass = themeClass;
    umlite::applyThemeSheet(this, themeClass, withChildren);
    refreshShownText();
}

QString UmLiteLabel::getThemeClassName() const
{
    return m_themeClass;
}

void UmLiteLabel::setText(const QString& text)
{
    m_fullText = text;
    refreshShownText();
    updateGeometry();
}

QString UmLiteLabel::text() const
{
    return m_fullText;
}

void UmLiteLabel::setTextAutoElide(bool on)
{
    if (m_autoElide == on)
        return;
    m_autoElide = on;
    refreshShownText();
    updateGeometry();
}

bool UmLiteLabel::isTextAutoElide() const
{
    return m_autoElide;
}

QSize UmLiteLabel::sizeHint() const
{
    if (!m_autoElide)
        return QLabel::sizeHint();
    const QFontMetrics metrics(font());
    const QMargins margins = contentsMargins();
    return QSize(metrics.horizontalAdvance(m_fullText) + margins.left() + margins.right() + 2 * margin(),
                 QLabel::sizeHint().height());
}

QSize UmLiteLabel::minimumSizeHint() const
{
    if (!m_autoElide)
        return QLabel::minimumSizeHint();
    // Room for the ellipsis only: the layout may squeeze the text.
    const QFontMetrics metrics(font());
    return QSize(metrics.horizontalAdvance(QStringLiteral("\u2026")), QLabel::minimumSizeHint().height());
}

int UmLiteLabel::elideMode() const
{
    return Qt::ElideRight;
}

void UmLiteLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    refreshShownText();
}

void UmLiteLabel::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    // A theme may change the font after the text was fitted.
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        refreshShownText();
        updateGeometry();
    }
}

void UmLiteLabel::refreshShownText()
{
    if (!m_autoElide || m_fullText.isEmpty()) {
        QLabel::setText(m_fullText);
        return;
    }
    const int room = contentsRect().width() - 2 * margin();
    const QFontMetrics metrics(font());
    // elidedText measures with fractional widths and may cut a text that the
    // rounded advance says fits.
    if (metrics.horizontalAdvance(m_fullText) <= room) {
        QLabel::setText(m_fullText);
        return;
    }
    QLabel::setText(metrics.elidedText(m_fullText, static_cast<Qt::TextElideMode>(elideMode()), qMax(room, 0)));
}
