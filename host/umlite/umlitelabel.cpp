#include "umlitelabel.h"

#include "umlitetheme_p.h"

#include <QFontMetrics>
#include <QResizeEvent>
#include <QTextDocument>

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
    if (text == m_fullText && (m_autoElide || QLabel::text() == text))
        return;
    m_fullText = text;
    m_fittedRoom = -1;
    m_advance = -1;
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
    m_fittedRoom = -1;
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
    const QMargins margins = contentsMargins();
    return QSize(fullTextAdvance() + margins.left() + margins.right() + 2 * margin(), textHeight(false));
}

QSize UmLiteLabel::minimumSizeHint() const
{
    if (!m_autoElide)
        return QLabel::minimumSizeHint();
    // Room for the ellipsis only: the layout may squeeze the text.
    const QFontMetrics metrics(font());
    return QSize(metrics.horizontalAdvance(QStringLiteral("\u2026")), textHeight(true));
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

void UmLiteLabel::showEvent(QShowEvent* event)
{
    QLabel::showEvent(event);
    refreshShownText();
}

bool UmLiteLabel::HeightKey::operator==(const HeightKey& other) const
{
    return text == other.text && font == other.font && margins == other.margins && margin == other.margin
        && indent == other.indent && alignment == other.alignment && minimum == other.minimum;
}

int UmLiteLabel::textHeight(bool minimum) const
{
    const auto qlabelHeight = [this, minimum] {
        return minimum ? QLabel::minimumSizeHint().height() : QLabel::sizeHint().height();
    };
    const QString shown = QLabel::text();
    const bool plain = textFormat() == Qt::PlainText || (textFormat() == Qt::AutoText && !Qt::mightBeRichText(shown));
    if (wordWrap() || !plain)
        return qlabelHeight();
    ensurePolished();
    const HeightKey key{shown, font(), contentsMargins(), margin(), indent(), int(alignment()), minimumSize()};
    if (m_height < 0 || !(key == m_heightKey)) {
        const int height = QLabel::heightForWidth(QWIDGETSIZE_MAX);
        if (height < 0)
            return qlabelHeight();
        m_heightKey = key;
        m_height = height;
    }
    return m_height;
}

int UmLiteLabel::fullTextAdvance() const
{
    if (m_advance < 0 || m_advanceFont != font()) {
        m_advanceFont = font();
        m_advance = QFontMetrics(m_advanceFont).horizontalAdvance(m_fullText);
    }
    return m_advance;
}

void UmLiteLabel::refreshShownText()
{
    // Hidden labels keep the full text; they are fitted when they show.
    if (!m_autoElide || m_fullText.isEmpty() || !isVisible()) {
        if (QLabel::text() != m_fullText)
            QLabel::setText(m_fullText);
        m_fittedRoom = -1;
        return;
    }
    const int room = qMax(contentsRect().width() - 2 * margin(), 0);
    if (room == m_fittedRoom && font() == m_fittedFont)
        return;
    m_fittedRoom = room;
    m_fittedFont = font();
    // elidedText measures with fractional widths and may cut a text that the
    // rounded advance says fits.
    if (fullTextAdvance() <= room) {
        QLabel::setText(m_fullText);
        return;
    }
    const QFontMetrics metrics(font());
    QLabel::setText(metrics.elidedText(m_fullText, static_cast<Qt::TextElideMode>(elideMode()), room));
}
