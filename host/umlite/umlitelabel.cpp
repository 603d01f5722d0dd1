#include "umlitelabel.h"

#include "umlitetheme_p.h"

#include <QFontMetrics>
#include <QResizeEvent>
#include <QTextDocument>

namespace {

// The rows of a plain text, as QLabel breaks it.
QStringList textRows(const QString& text)
{
    QString rows = text;
    rows.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return rows.split(QLatin1Char('\n'));
}

int rowsHeight(const QFontMetrics& metrics, const QString& text)
{
    return metrics.boundingRect(QRect(0, 0, 2000, 2000), Qt::TextExpandTabs, text).height();
}

} // namespace

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
    m_fittedRoom = QSize();
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
    m_fittedRoom = QSize();
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
    return text == other.text && fullText == other.fullText && font == other.font && margins == other.margins && margin == other.margin
        && indent == other.indent && alignment == other.alignment && minimum == other.minimum;
}

int UmLiteLabel::textHeight(bool minimum) const
{
    const auto qlabelHeight = [this, minimum] {
        return minimum ? QLabel::minimumSizeHint().height() : QLabel::sizeHint().height();
    };
    const QString shown = QLabel::text();
    if (wordWrap() || !isPlainText(shown))
        return qlabelHeight();
    ensurePolished();
    const HeightKey key{shown, m_fullText, font(), contentsMargins(), margin(), indent(), int(alignment()), minimumSize()};
    if (m_height < 0 || !(key == m_heightKey)) {
        int height = QLabel::heightForWidth(QWIDGETSIZE_MAX);
        if (height < 0)
            return qlabelHeight();
        // A label short of room folds its rows; it still asks for all of them.
        if (m_autoElide && shown != m_fullText && isPlainText(m_fullText)) {
            const QFontMetrics metrics(font());
            height += qMax(rowsHeight(metrics, m_fullText) - rowsHeight(metrics, shown), 0);
        }
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
        m_fittedRoom = QSize();
        nameForAssistiveTechnologies();
        return;
    }
    const QSize room(qMax(contentsRect().width() - 2 * margin(), 0), qMax(contentsRect().height() - 2 * margin(), 0));
    if (room == m_fittedRoom && font() == m_fittedFont)
        return;
    m_fittedRoom = room;
    m_fittedFont = font();
    QLabel::setText(fittedText(room));
    nameForAssistiveTechnologies();
}

// Screen readers read the text a label shows; while that is elided, the full
// text becomes the label's name. A name that others gave it is left alone.
void UmLiteLabel::nameForAssistiveTechnologies()
{
    const QString name = QLabel::text() == m_fullText ? QString() : m_fullText;
    if (name == m_ownName || accessibleName() != m_ownName)
        return;
    setAccessibleName(name);
    m_ownName = name;
}

bool UmLiteLabel::isPlainText(const QString& text) const
{
    return textFormat() == Qt::PlainText || (textFormat() == Qt::AutoText && !Qt::mightBeRichText(text));
}

QString UmLiteLabel::fittedText(const QSize& room) const
{
    const QFontMetrics metrics(font());
    const auto mode = static_cast<Qt::TextElideMode>(elideMode());
    // elidedText measures with fractional widths and may cut a text that the
    // rounded advance says fits.
    const auto fitRow = [&](const QString& row) {
        return metrics.horizontalAdvance(row) <= room.width() ? row : metrics.elidedText(row, mode, room.width());
    };
    const bool severalRows = m_fullText.contains(QLatin1Char('\n')) || m_fullText.contains(QChar::LineSeparator);
    const QStringList rows =
        severalRows && !wordWrap() && isPlainText(m_fullText) ? textRows(m_fullText) : QStringList();
    if (rows.size() < 2)
        return fullTextAdvance() <= room.width() ? m_fullText : metrics.elidedText(m_fullText, mode, room.width());

    // As many rows as the height holds: a row cut in half is no text.
    int kept = rows.size();
    while (kept > 1 && rowsHeight(metrics, rows.mid(0, kept).join(QLatin1Char('\n'))) > room.height())
        --kept;
    QStringList shown;
    for (int i = 0; i < kept - 1; ++i)
        shown << fitRow(rows.at(i));
    // The rows without room of their own join the last one.
    shown << fitRow(rows.mid(kept - 1).join(QLatin1Char(' ')));
    return shown.join(QLatin1Char('\n'));
}
