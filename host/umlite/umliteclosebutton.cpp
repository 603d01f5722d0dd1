#include "umliteclosebutton.h"

#include "umdrawhelper.h"
#include "umlitepixmap_p.h"
#include "umlitestyle.h"

#include <QStyleOptionToolButton>
#include <QStylePainter>

UmLiteCloseButton::UmLiteCloseButton(QWidget* parent)
    : QToolButton(parent)
{
    setObjectName(QStringLiteral("umlite_close"));
    // A glyph says nothing to a screen reader.
    setAccessibleName(tr("Close"));
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    setFixedSize(UmLiteStyle::dpiScaledSize(24, 24));
    // The style's default follows Qt's DPI, which is not always the kit's.
    setIconSize(UmLiteStyle::dpiScaledSize(16, 16));
    reloadGlyph();
}

UmLiteCloseButton::~UmLiteCloseButton() = default;

void UmLiteCloseButton::reloadGlyph()
{
    const QIcon glyph = UmDrawHelper::loadIcon(QStringLiteral("umlite_close"));
    if (!glyph.isNull())
        setIcon(glyph);
    else if (icon().isNull())
        setText(QStringLiteral("\u2715"));
}

void UmLiteCloseButton::paintEvent(QPaintEvent* event)
{
    if (icon().isNull()) {
        QToolButton::paintEvent(event);
        return;
    }
    // The style scales the glyph's 1x pixmap up on a high-DPI screen unless the
    // host asked Qt for high-DPI pixmaps: it draws only the button, the glyph
    // comes from its source at the device's resolution.
    QStylePainter painter(this);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    option.icon = QIcon();
    option.text.clear();
    painter.drawComplexControl(QStyle::CC_ToolButton, option);
    const qreal ratio = umlite::paintedRatio(painter, this);
    const QPixmap glyph = umlite::devicePixmap(icon(), iconSize(), ratio, isEnabled() ? QIcon::Normal : QIcon::Disabled);
    QRect box(QPoint(0, 0), (QSizeF(glyph.size()) / ratio).toSize());
    box.moveCenter(rect().center());
    painter.drawPixmap(box, glyph);
}
