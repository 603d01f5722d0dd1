#include "toastcontentanimationcontroller.h"

#include "toastcontentwidget.h"
#include "umliteiconwidget.h"
#include "umlitelabel.h"

namespace {

const char k_animationType[] = "animationType";
const char k_labelIndex[] = "labelIndex";

} // namespace

ToastContentAnimationController::ToastContentAnimationController(ToastContentWidget* contentWidget)
    : m_contentWidget(contentWidget)
{
}

ToastContentAnimationController::~ToastContentAnimationController() = default;

void ToastContentAnimationController::trackAnimation(int key, QObject* animation)
{
    m_animations.insert(key, animation);
}

bool ToastContentAnimationController::isTracking(int key) const
{
    return m_animations.contains(key);
}

QWidget* ToastContentAnimationController::item(int key) const
{
    return m_contentWidget ? m_contentWidget->item(key) : nullptr;
}

void ToastContentAnimationController::onImageAnimationFinish()
{
    auto* image = qobject_cast<UmLiteIconWidget*>(item(0));
    if (!image)
        return;
    const QPointer<QObject> animation = m_animations.value(0);
    if (!animation)
        return;
    image->setVisible(animation->property(k_animationType).toBool());
    m_animations.remove(0);
}

void ToastContentAnimationController::onImageAnimationChange(QVariant)
{
    // The image follows its animation by itself; only the look-up remains.
    qobject_cast<UmLiteIconWidget*>(item(0));
}

void ToastContentAnimationController::onTextAnimationFinish()
{
    const QObject* animation = sender();
    if (!animation)
        return;
    const int index = animation->property(k_labelIndex).toInt();
    if (index <= 0)
        return;
    auto* label = qobject_cast<UmLiteLabel*>(item(index));
    if (!label)
        return;
    label->setVisible(label->property(k_animationType).toBool());
    m_animations.remove(label->property(k_labelIndex).toInt());
}

void ToastContentAnimationController::OnTextAnimationChange(QVariant)
{
    if (const QObject* animation = sender())
        getAnimationLabel(const_cast<QObject*>(animation));
}

UmLiteLabel* ToastContentAnimationController::getAnimationLabel(QObject* animation)
{
    if (!animation)
        return nullptr;
    const int index = animation->property(k_labelIndex).toInt();
    if (index <= 0)
        return nullptr;
    return qobject_cast<UmLiteLabel*>(item(index));
}
