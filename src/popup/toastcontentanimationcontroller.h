#pragma once

#include <QMap>
#include <QObject>
#include <QPointer>
#include <QVariant>

class ToastContentWidget;
class UmLiteLabel;

// Applies the final visibility of the image or a line when an animation of
// that item ends. Nothing starts such animations yet; the slots are reached
// through the meta-object.
class ToastContentAnimationController : public QObject
{
    Q_OBJECT
public:
    explicit ToastContentAnimationController(ToastContentWidget* contentWidget);
    ~ToastContentAnimationController() override;

    // Registers a running animation of item key (0 the image, 1 to 3 the lines).
    void trackAnimation(int key, QObject* animation);
    bool isTracking(int key) const;

protected slots:
    void onImageAnimationFinish();
    void onImageAnimationChange(QVariant value);
    void onTextAnimationFinish();
    void OnTextAnimationChange(QVariant value);
    UmLiteLabel* getAnimationLabel(QObject* animation);

private:
    QWidget* item(int key) const;

    QPointer<ToastContentWidget> m_contentWidget;
    QMap<int, QPointer<QObject>> m_animations;
};
