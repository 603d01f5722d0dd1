#pragma once

#include "umlitelabel.h"

// A label that elides in the middle and reports left clicks released inside it.
// It ignores the mouse until someone clears Qt::WA_TransparentForMouseEvents.
class MiddleLiteLabel : public UmLiteLabel
{
    Q_OBJECT
public:
    explicit MiddleLiteLabel(QWidget* parent);

signals:
    void labelClicked();

protected:
    int elideMode() const override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};
