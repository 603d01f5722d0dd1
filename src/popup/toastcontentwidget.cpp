#include "toastcontentwidget.h"

#include "middlelitelabel.h"
#include "toastcontentanimationcontroller.h"
#include "toasticon.h"
#include "toastlinelabel.h"
#include "umdrawhelper.h"
#include "umliteiconwidget.h"
#include "umlitestyle.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

const int k_lineCount = 3;

QString lineThemeClass(int i)
{
    return QString("Toast_Content_Label_Of_%1").arg(i);
}

int scaled(double value)
{
    return int(UmLiteStyle::dpiScaled(value));
}

// What a screen reader says for the image: its file's name, the type of a
// file-type icon (".docx"), or the skin icon's name.
QString imageName(const QString& path)
{
    QString name = QFileInfo(path).fileName();
    while (name.startsWith(QLatin1Char('.')))
        name.remove(0, 1);
    return name;
}

} // namespace

QSharedPointer<ToastContentWidget> ToastContentWidget::create(const ToastData& data)
{
    QSharedPointer<ToastContentWidget> widget(new ToastContentWidget);
    widget->buildContent(data);
    return widget;
}

ToastContentWidget::ToastContentWidget()
    : UmLiteWidget(nullptr)
    , m_animationController(std::make_shared<ToastContentAnimationController>(this))
{
}

ToastContentWidget::~ToastContentWidget() = default;

QWidget* ToastContentWidget::item(int key) const
{
    return m_items.value(key);
}

void ToastContentWidget::buildContent(const ToastData& data)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(UmLiteStyle::dpiScaledMargins(QMargins(0, 0, 0, 0)));
    row->setSpacing(scaled(0));
    row->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    auto* image = new UmLiteIconWidget(this);
    image->setContentsMargins(UmLiteStyle::dpiScaledMargins(QMargins(0, 0, 12, 0)));
    image->hide();
    row->addWidget(image);
    m_items[0] = image;

    auto* column = new UmLiteWidget(this);
    m_linesLayout = new QVBoxLayout(column);
    m_linesLayout->setContentsMargins(UmLiteStyle::dpiScaledMargins(QMargins(0, 0, 0, 0)));
    m_linesLayout->setSpacing(scaled(0));

    m_richText = data.isRichText();
    createLines(data);
    row->addWidget(column);
}

void ToastContentWidget::createLines(const ToastData& data)
{
    for (int i = 1; i <= k_lineCount; ++i) {
        const QString name = lineThemeClass(i);
        QWidget* line = nullptr;
        if (!data.isRichText()) {
            auto* label = new MiddleLiteLabel(this);
            label->setText(data.textField(i - 1));
            label->applyThemeClass(name, false);
            line = label;
        } else {
            auto* rich = new ToastLineLabel(this, i - 1);
            connect(rich, &ToastLineLabel::sigLabelClicked, this, &ToastContentWidget::sigLineTextClicked);
            rich->applyThemeClass(name, false);
            line = rich;
        }
        m_linesLayout->addWidget(line);
        line->hide();
        m_items[i] = line;
    }
}

void ToastContentWidget::clearLines()
{
    for (int i = 1; i <= k_lineCount; ++i) {
        delete m_items.value(i).data();
        m_items[i] = nullptr;
    }
}

void ToastContentWidget::updateContent(const ToastData& data)
{
    updateImage(data);
    if (data.isRichText() != m_richText) {
        clearLines();
        m_richText = data.isRichText();
        createLines(data);
    }
    for (int i = 1; i <= k_lineCount; ++i)
        updateLine(i, data);
}

void ToastContentWidget::updateImage(const ToastData& data)
{
    auto* image = qobject_cast<UmLiteIconWidget*>(m_items.value(0).data());
    if (!image)
        return;
    QString path = data.heroImagePath();
    if (path.isEmpty())
        path = data.imagePath();
    QSize size = data.imageSize();
    if (size.width() < 1 || size.height() < 1)
        size = QSize(64, 64);
    QIcon icon = loadToastIcon(path);
    if (icon.isNull())
        icon = UmDrawHelper::loadFileIconBySuffix("other", false, true);
    image->setIconSize(UmLiteStyle::dpiScaledSize(size));
    image->setIcon(icon);
    image->setAccessibleName(imageName(path));
    image->setVisible(!path.isEmpty());
}

void ToastContentWidget::updateLine(int i, const ToastData& data)
{
    const bool visible = i - 1 < data.textFieldCount();
    QWidget* line = m_items.value(i);
    if (!data.isRichText()) {
        auto* label = qobject_cast<UmLiteLabel*>(line);
        if (!label)
            return;
        label->setText(data.textField(i - 1));
    } else {
        auto* rich = qobject_cast<ToastLineLabel*>(line);
        if (!rich)
            return;
        QList<ToastTextSegment> segments;
        if (data.richLine(i - 1, segments))
            rich->setSegments(segments);
    }
    line->setVisible(visible);
}

void ToastContentWidget::refreshTheme()
{
    for (int i = 1; i <= k_lineCount; ++i) {
        QWidget* line = m_items.value(i);
        if (auto* label = qobject_cast<UmLiteLabel*>(line))
            label->applyThemeClass(lineThemeClass(i), false);
        else if (auto* rich = qobject_cast<ToastLineLabel*>(line))
            rich->applyThemeClass(lineThemeClass(i), false);
    }
}
