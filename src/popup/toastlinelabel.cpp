#include "toastlinelabel.h"

#include "middlelitelabel.h"
#include "umlitestyle.h"

#include <QHBoxLayout>
#include <QStyle>

namespace {

const char k_clickActionName[] = "click_action_name";
const char k_enableClick[] = "enable_click";

} // namespace

ToastLineLabel::ToastLineLabel(QWidget* parent, qint64 lineIndex)
    : UmLiteWidget(parent)
    , m_layout(new QHBoxLayout(this))
    , m_lineIndex(lineIndex)
{
    m_layout->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_layout->setContentsMargins(UmLiteStyle::dpiScaledMargins(0, 0, 0, 0));
    m_layout->setSpacing(int(UmLiteStyle::dpiScaled(0)));
}

void ToastLineLabel::setSegments(const QList<ToastTextSegment>& segments)
{
    ensureSegmentLabels(segments);
    for (int j = 0; j < segments.size() && j < m_segmentLabels.size(); ++j) {
        const ToastTextSegment& segment = segments.at(j);
        MiddleLiteLabel* label = m_segmentLabels.at(j);
        label->show();
        label->setText(segment.text);
        label->setAttribute(Qt::WA_TransparentForMouseEvents, !segment.click);
        label->setProperty(k_clickActionName, segment.action);
        label->setProperty(k_enableClick, segment.click);
        // Style rules select on enable_click; make them see the new value.
        label->style()->unpolish(label);
        label->style()->polish(label);
    }
}

void ToastLineLabel::ensureSegmentLabels(const QList<ToastTextSegment>& segments)
{
    for (MiddleLiteLabel* label : qAsConst(m_segmentLabels))
        label->hide();
    while (m_segmentLabels.size() < segments.size()) {
        auto* label = new MiddleLiteLabel(this);
        label->hide();
        label->applyThemeClass(getThemeClassName(), false);
        m_layout->addWidget(label);
        connect(label, &MiddleLiteLabel::labelClicked, this, &ToastLineLabel::onLabelClicked);
        m_segmentLabels.append(label);
    }
}

bool ToastLineLabel::isClickable(const QObject* segment)
{
    return segment->property(k_enableClick).toBool();
}

void ToastLineLabel::onLabelClicked()
{
    const QObject* label = sender();
    if (!label || !isClickable(label))
        return;
    emit sigLabelClicked(m_lineIndex, label->property(k_clickActionName).toString());
}
