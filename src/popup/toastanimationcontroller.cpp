#include "toastanimationcontroller.h"

#include "applicationtoastwidget.h"

#include <QPropertyAnimation>
#include <QWidget>

namespace {

const int k_fadeDurationMs = 200;

QPropertyAnimation* fade(QWidget* window, float from, float to, QObject* owner)
{
    // Owned by the controller so that deleting the popup stops it for good.
    auto* animation = new QPropertyAnimation(window, "windowOpacity", owner);
    animation->setStartValue(QVariant(from));
    animation->setEndValue(QVariant(to));
    animation->setDuration(k_fadeDurationMs);
    return animation;
}

} // namespace

ToastAnimationController::ToastAnimationController(QObject* parent)
    : QObject(parent)
{
}

ToastAnimationController::~ToastAnimationController() = default;

void ToastAnimationController::startShowAnimation(QWidget* window)
{
    if (m_showAnimation)
        return;
    if (!window)
        return;
    window->setWindowOpacity(0.0);
    window->show();
    m_showAnimation = fade(window, 0.0f, 1.0f, this);
    m_showAnimation->start(QAbstractAnimation::DeleteWhenStopped);
}

void ToastAnimationController::startHideAnimation(ApplicationToastWidget* popup)
{
    if (!popup)
        return;
    QPropertyAnimation* animation = fade(popup, 1.0f, 0.0f, this);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
    connect(animation, &QPropertyAnimation::finished, popup, &ApplicationToastWidget::onHideAnimationFinish);
}
