#pragma once

#include <QObject>
#include <QPointer>

class ApplicationToastWidget;
class QPropertyAnimation;
class QWidget;

// Fades a popup window in when shown and out when hidden (on Wayland its
// painting rather than the window, whose opacity cannot be set there).
class ToastAnimationController : public QObject
{
    Q_OBJECT
public:
    explicit ToastAnimationController(QObject* parent = nullptr);
    ~ToastAnimationController() override;

    void startShowAnimation(QWidget* window);
    // At the end the popup's onHideAnimationFinish() runs.
    void startHideAnimation(ApplicationToastWidget* popup);

private:
    QPointer<QPropertyAnimation> m_showAnimation;
};
