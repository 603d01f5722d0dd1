#pragma once

#include <QAccessibleWidget>

class ToastLineLabel;

// A rich line as assistive technologies see it: one label with the whole
// line's text, whose children are the clickable segments, as links.
class ToastLineAccessible : public QAccessibleWidget
{
public:
    explicit ToastLineAccessible(ToastLineLabel* line);

    QString text(QAccessible::Text t) const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;

private:
    ToastLineLabel* line() const;
    QList<QWidget*> links() const;
};
