#include "toastanimationcontroller.h"

#include "applicationtoastwidget.h"

#include <QGraphicsOpacityEffect>
#include <QGuiApplication>
#include <QPropertyAnimation>
#include <QWidget>

namespace {

const int k_fadeDurationMs = 200;

// A Wayland client cannot set its window's opacity (Qt warns at every step),
// so there the window's painting is faded instead, over the same time.
bool windowOpacityIsSettable()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

// Kept for the popup's life: at full opacity it paints straight through.
QGraphicsOpacityEffect* paintingOpacity(QWidget* window)
{
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(window->graphicsEffect());
    if (!effect) {
        effect = new QGraphicsOpacityEffect(window);
        window->setGraphicsEffect(effect);
    }
    return effect;
}

QPropertyAnimation* fade(QWidget* window, float from, float to, QObject* owner)
{
    // Owned by the controller so that deleting the popup stops it for good.
    auto* animation = windowOpacityIsSettable()
        ? new QPropertyAnimation(window, "windowOpacity", owner)
        : new QPropertyAnimation(paintingOpacity(window), "opacity", owner);
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
    if (windowOpacityIsSettable())
        window->setWindowOpacity(0.0);
    else
        paintingOpacity(window)->setOpacity(0.0);
    window->show();
    m_showAnimation = fade(window, 0.0f, 1.0f, this);
    // Some window systems (Wine's) keep a translucent window at the opacity of
    // its last paint; one more paint at full opacity shows it everywhere.
    connect(m_showAnimation, &QPropertyAnimation::finished, window, qOverload<>(&QWidget::update));
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
