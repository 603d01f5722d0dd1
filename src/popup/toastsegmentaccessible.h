#pragma once

#include <QAccessibleWidget>

class MiddleLiteLabel;

// A segment of a rich line; a clickable one is a link whose press action is
// the click itself.
class ToastSegmentAccessible : public QAccessibleWidget
{
public:
    explicit ToastSegmentAccessible(MiddleLiteLabel* segment);

    QAccessible::Role role() const override;
    QString text(QAccessible::Text t) const override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

private:
    MiddleLiteLabel* segment() const;
    bool clickable() const;
};
