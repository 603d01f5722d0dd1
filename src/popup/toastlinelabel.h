#pragma once

#include "toastdata.h"
#include "umlitewidget.h"

#include <QList>

class MiddleLiteLabel;
class QHBoxLayout;

// One rich text line: a row of segment labels, some of them clickable.
class ToastLineLabel : public UmLiteWidget
{
    Q_OBJECT
public:
    ToastLineLabel(QWidget* parent, qint64 lineIndex);

    void setSegments(const QList<ToastTextSegment>& segments);
    QList<MiddleLiteLabel*> segmentLabels() const { return m_segmentLabels; }
    qint64 lineIndex() const { return m_lineIndex; }
    // Whether a click on the segment label reports.
    static bool isClickable(const QObject* segment);

signals:
    void sigLabelClicked(qint64 lineIndex, QString action);

protected slots:
    void onLabelClicked();

private:
    void ensureSegmentLabels(const QList<ToastTextSegment>& segments);

    QHBoxLayout* m_layout;
    QList<MiddleLiteLabel*> m_segmentLabels;
    qint64 m_lineIndex;
};
