#include "umlitecontentdlg.h"

#include "umliteclosebutton.h"
#include "umliteiconwidget.h"
#include "umlitelabel.h"
#include "umlitepushbutton.h"
#include "umlitestyle.h"
#include "umlitetheme_p.h"
#include "umskin.h"

#include <QBoxLayout>
#include <QEvent>
#include <QFrame>
#include <QHash>
#include <QPixmap>
#include <QLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QToolButton>
#include <QVariant>

namespace {

const int k_shadowSteps = 12;

int scaled(double value)
{
    return int(UmLiteStyle::dpiScaled(value));
}

bool validButton(int index)
{
    return index >= 0 && index < UmLiteContentDlg::ButtonCount;
}

} // namespace

UmLiteContentDlg::UmLiteContentDlg(QWidget* parent, int iconType)
    // A plain window type: window types are bit sets, and a dialog that is
    // also given the tooltip type reads as a splash screen, which Qt shows by
    // spinning the event loop inside show() when the host's loop is not running.
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_shadow(UmLiteStyle::dpiScaledMargins(k_shadowSteps, k_shadowSteps - 2, k_shadowSteps, k_shadowSteps + 2))
{
    setAttribute(Qt::WA_TranslucentBackground);
    // The full text of an elided button shows as its tooltip, and Qt shows
    // tooltips of inactive windows only when told: a notification stays inactive.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    setProperty("umIconType", iconType);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(m_shadow);
    outer->setSpacing(0);

    m_frame = new QFrame(this);
    m_frame->setObjectName(QStringLiteral("umlite_frame"));
    outer->addWidget(m_frame);

    m_frameLayout = new QVBoxLayout(m_frame);
    m_frameLayout->setContentsMargins(UmLiteStyle::dpiScaledMargins(16, 10, 10, 14));
    m_frameLayout->setSpacing(scaled(8));

    auto* titleRow = new QHBoxLayout;
    titleRow->setSpacing(scaled(8));
    m_titleIcon = new UmLiteIconWidget(m_frame);
    m_titleIcon->setObjectName(QStringLiteral("umlite_title_icon"));
    m_titleIcon->setIconSize(UmLiteStyle::dpiScaledSize(16, 16));
    m_titleIcon->hide();
    m_titleText = new UmLiteLabel(m_frame);
    m_titleText->setObjectName(QStringLiteral("umlite_title"));
    // A long title ends in an ellipsis instead of widening the fixed frame.
    m_titleText->setTextAutoElide(true);
    alignTitle();
    m_closeButton = new UmLiteCloseButton(m_frame);
    titleRow->addWidget(m_titleIcon);
    titleRow->addWidget(m_titleText, 1);
    titleRow->addWidget(m_closeButton, 0, Qt::AlignTop);
    m_frameLayout->addLayout(titleRow);

    m_contentSlot = new QVBoxLayout;
    m_contentSlot->setContentsMargins(UmLiteStyle::dpiScaledMargins(0, 0, 6, 0));
    m_contentSlot->setSpacing(0);
    m_frameLayout->addLayout(m_contentSlot, 1);

    m_buttonRow = new QHBoxLayout;
    m_buttonRow->setContentsMargins(UmLiteStyle::dpiScaledMargins(0, 2, 6, 0));
    m_buttonRow->setSpacing(scaled(8));
    m_buttonRow->addStretch(1);
    m_frameLayout->addLayout(m_buttonRow);

    connect(m_closeButton, &QToolButton::clicked, this, &UmLiteContentDlg::onCloseButtonClicked);
}

UmLiteContentDlg::~UmLiteContentDlg() = default;

void UmLiteContentDlg::ensureButton(BtnType type)
{
    const int index = int(type);
    if (!validButton(index) || m_buttons[index])
        return;
    auto* button = new UmLitePushButton(m_frame);
    button->setObjectName(QStringLiteral("umlite_button"));
    button->setProperty("buttonIndex", index);
    button->setFocusPolicy(Qt::NoFocus);
    button->setCursor(Qt::PointingHandCursor);
    button->setLeastSize(UmLiteStyle::dpiScaledSize(72, 28));
    // Keep the row in button order whatever order they were created in.
    int position = m_buttonRow->count();
    for (int later = index + 1; later < ButtonCount; ++later) {
        if (m_buttons[later]) {
            position = m_buttonRow->indexOf(m_buttons[later]);
            break;
        }
    }
    m_buttonRow->insertWidget(position, button);
    m_buttons[index] = button;
    keepReadingOrder();
    connect(button, &QPushButton::clicked, this, [this, index] { dispatchButton(index); });
}

QPushButton* UmLiteContentDlg::button(BtnType type) const
{
    return validButton(int(type)) ? m_buttons[int(type)] : nullptr;
}

void UmLiteContentDlg::setButtonVisible(BtnType type, bool visible)
{
    if (QPushButton* b = button(type))
        b->setVisible(visible);
}

void UmLiteContentDlg::setButtonText(BtnType type, const QString& text)
{
    if (QPushButton* b = button(type))
        b->setText(text);
}

void UmLiteContentDlg::setMainTitleIcon(const QIcon& icon)
{
    m_titleIcon->setIcon(icon);
    m_titleIcon->setVisible(!icon.isNull());
}

void UmLiteContentDlg::setMainTitleText(const QString& text)
{
    m_titleText->setText(text);
    // The icon stands for what the title names.
    m_titleIcon->setAccessibleName(text);
}

QString UmLiteContentDlg::mainTitleText() const
{
    return m_titleText->text();
}

QIcon UmLiteContentDlg::mainTitleIcon() const
{
    return m_titleIcon->icon();
}

QToolButton* UmLiteContentDlg::closeButton() const
{
    return m_closeButton;
}

void UmLiteContentDlg::setCustomContentWidget(QWidget* widget, int stretch, Qt::Alignment alignment)
{
    if (widget == m_content)
        return;
    if (m_content)
        m_contentSlot->removeWidget(m_content);
    m_content = widget;
    if (widget)
        m_contentSlot->addWidget(widget, stretch < 0 ? 1 : stretch, alignment);
    keepReadingOrder();
}

// Assistive technologies read a widget's children in the order of their
// stacking: title, content, buttons, then the close button of the title row.
// None of them overlap, so the stacking shows nowhere else.
void UmLiteContentDlg::keepReadingOrder()
{
    if (m_content && m_content->parentWidget() == m_frame)
        m_content->raise();
    for (QPushButton* button : m_buttons) {
        if (button)
            button->raise();
    }
    m_closeButton->raise();
}

QWidget* UmLiteContentDlg::customContentWidget() const
{
    return m_content;
}

void UmLiteContentDlg::setCustomFrameSize(const QSize& size)
{
    m_frameSize = size;
    updateFrameSize();
    // The content usually arrives later and asks for updateFixedHeight() itself;
    // measuring an empty frame now would be wasted work.
    if (m_frameSize.isValid())
        setFixedHeight(m_frameSize.height() + m_shadow.top() + m_shadow.bottom());
}

QSize UmLiteContentDlg::customFrameSize() const
{
    return m_frameSize;
}

void UmLiteContentDlg::updateFrameSize()
{
    if (!m_frameSize.isValid())
        return;
    setFixedWidth(m_frameSize.width() + m_shadow.left() + m_shadow.right());
}

void UmLiteContentDlg::updateFixedHeight()
{
    // Fonts and paddings come from the sheet, which is read when polished.
    umlite::settleThemeSheet(this);
    ensurePolished();
    // Size hints are cached per layout item and only refreshed by posted layout
    // requests; drop them all so the answer reflects the content right now.
    // Leaves refresh their own entry when they change; containers do not.
    const QList<QWidget*> widgets = m_frame->findChildren<QWidget*>();
    for (QWidget* widget : widgets) {
        if (widget->layout())
            widget->updateGeometry();
    }
    const QList<QLayout*> layouts = m_frame->findChildren<QLayout*>();
    for (QLayout* nested : layouts)
        nested->invalidate();
    const int frameWidth = m_frameSize.isValid() ? m_frameSize.width() : m_frame->width();
    int needed = m_frameLayout->hasHeightForWidth() ? m_frameLayout->heightForWidth(frameWidth)
                                                    : m_frameLayout->sizeHint().height();
    needed = qMax(needed, m_frameLayout->minimumSize().height());
    if (m_frameSize.isValid())
        needed = qMax(needed, m_frameSize.height());
    setFixedHeight(needed + m_shadow.top() + m_shadow.bottom());
}

QMargins UmLiteContentDlg::shadowMargins() const
{
    return m_shadow;
}

void UmLiteContentDlg::setThemeClassName(const QString& themeClass)
{
    applyThemeClass(themeClass, false);
}

void UmLiteContentDlg::applyThemeClass(const QString& themeClass, bool withChildren)
{
    m_themeClass = themeClass;
    umlite::applyThemeSheet(this, themeClass, withChildren, true);
    update();
}

QString UmLiteContentDlg::themeClassName() const
{
    return m_themeClass;
}

void UmLiteContentDlg::changeStyle()
{
    if (m_closeButton->text().isEmpty())
        static_cast<UmLiteCloseButton*>(m_closeButton)->reloadGlyph();
    applyThemeClass(m_themeClass, true);
}

void UmLiteContentDlg::onButton0Clicked()
{
}

void UmLiteContentDlg::onButton1Clicked()
{
}

void UmLiteContentDlg::onButton2Clicked()
{
}

void UmLiteContentDlg::onCloseButtonClicked()
{
    reject();
}

void UmLiteContentDlg::setVisible(bool visible)
{
    if (visible)
        umlite::settleThemeSheet(this);
    QDialog::setVisible(visible);
}

void UmLiteContentDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
}

void UmLiteContentDlg::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LayoutDirectionChange)
        alignTitle();
}

void UmLiteContentDlg::alignTitle()
{
    // Next to the icon, which leads the row: QLabel would otherwise follow
    // the direction of the title's own text, and put a Latin title at the
    // far end of a right-to-left row.
    const Qt::Alignment leading = layoutDirection() == Qt::RightToLeft ? Qt::AlignRight : Qt::AlignLeft;
    m_titleText->setAlignment(leading | Qt::AlignAbsolute | Qt::AlignVCenter);
}

void UmLiteContentDlg::paintEvent(QPaintEvent*)
{
    const bool dark = UmLiteSkin::currentThemeName() == QLatin1String("dark");
    const QPixmap shadow = shadowPixmap(size(), m_shadow, dark);
    QPainter painter(this);
    // The frame's own background covers the middle; copying the shadow
    // there would be five times the pixels for nothing. Keep clear of the
    // frame's rounded corners, where the shadow shows.
    const QRect all = rect();
    const int corner = scaled(10);
    const QRect inner = all.marginsRemoved(m_shadow).adjusted(corner, corner, -corner, -corner);
    if (!inner.isValid()) {
        painter.drawPixmap(0, 0, shadow);
        return;
    }
    const QRect bands[] = {
        QRect(QPoint(all.left(), all.top()), QPoint(all.right(), inner.top() - 1)),
        QRect(QPoint(all.left(), inner.bottom() + 1), QPoint(all.right(), all.bottom())),
        QRect(QPoint(all.left(), inner.top()), QPoint(inner.left() - 1, inner.bottom())),
        QRect(QPoint(inner.right() + 1, inner.top()), QPoint(all.right(), inner.bottom())),
    };
    for (const QRect& band : bands)
        painter.drawPixmap(band, shadow, band);
}

QPixmap UmLiteContentDlg::shadowPixmap(const QSize& size, const QMargins& shadow, bool dark)
{
    // Popups of one size share one shadow; drawing it is far dearer than copying it.
    static QHash<QString, QPixmap> cache;
    const QString key = QStringLiteral("%1x%2/%3,%4,%5,%6/%7")
                            .arg(size.width())
                            .arg(size.height())
                            .arg(shadow.left())
                            .arg(shadow.top())
                            .arg(shadow.right())
                            .arg(shadow.bottom())
                            .arg(dark ? 1 : 0);
    auto it = cache.constFind(key);
    if (it != cache.constEnd())
        return it.value();
    if (cache.size() > 16)
        cache.clear();

    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const int strongest = dark ? 60 : 28;
    const QRectF frame = QRectF(QPointF(0, 0), QSizeF(size)).marginsRemoved(shadow);
    const int steps = qMin(qMin(shadow.left(), shadow.right()), qMin(shadow.top(), shadow.bottom()));
    // Rounded outlines that fade out away from the frame.
    for (int i = steps; i > 0; --i) {
        const qreal t = qreal(i) / qMax(steps, 1);
        const QColor color(0, 0, 0, int(strongest * (1.0 - t) * (1.0 - t)));
        QPainterPath path;
        path.addRoundedRect(frame.adjusted(-i, -i + 2, i, i + 2), 8 + i, 8 + i);
        painter.fillPath(path, color);
    }
    painter.end();
    cache.insert(key, pixmap);
    return pixmap;
}

void UmLiteContentDlg::dispatchButton(int index)
{
    switch (index) {
    case Btn0:
        onButton0Clicked();
        break;
    case Btn1:
        onButton1Clicked();
        break;
    case Btn2:
        onButton2Clicked();
        break;
    default:
        break;
    }
}
