#include "middlelitelabel.h"

#include <QMouseEvent>

MiddleLiteLabel::MiddleLiteLabel(QWidget* parent)
    : UmLiteLabel(parent)
{
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_TransparentForMouseEvents, true);
    setTextAutoElide(true);
    setFocusPolicy(Qt::NoFocus);
}

int MiddleLiteLabel::elideMode() const
{
    return Qt::ElideMiddle;
}

void MiddleLiteLabel::mouseReleaseEvent(QMouseEvent* event)
{
    // Releasing outside cancels the click, as for a button.
    if (event->button() == Qt::LeftButton && rect().contains(event->pos()))
        emit labelClicked();
}
