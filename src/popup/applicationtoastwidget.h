#pragma once

#include "toastdata.h"
#include "umlitecontentdlg.h"

#include <QList>
#include <QPointer>
#include <QSharedPointer>
#include <QTimer>

#include <memory>

class ISystemNotifyToastListener;
class QBoxLayout;
class QWindow;
class ToastAnimationController;
class ToastContentWidget;
class UmLiteWidget;

// One popup toast: title, content, up to three buttons, a close button and an
// auto-hide timer. Reports to the listener first, then to the service.
class ApplicationToastWidget : public UmLiteContentDlg
{
    Q_OBJECT
public:
    ApplicationToastWidget();
    ~ApplicationToastWidget() override;

    void initToast(quint64 id, const std::weak_ptr<ISystemNotifyToastListener>& listener);
    void showPopup(const ToastData& data);
    bool updatePopup(const ToastData& data);
    void startHide();

    quint64 toastId() const { return m_toastId; }
    QList<ToastAction> actions() const { return m_actions; }
    ToastContentWidget* contentWidget() const { return m_contentWidget.data(); }
    const QTimer& hideTimer() const { return m_hideTimer; }

    void changeStyle() override;

signals:
    void notifyAction(quint64 toastId);
    void noitfyClose(quint64 toastId);
    void notifyHideAnimationFinish(quint64 toastId);

protected slots:
    void onHideTimerUp();
    void onHideAnimationFinish();
    void onLineTextClicked(qint64 lineIndex, QString action);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void onButton0Clicked() override;
    void onButton1Clicked() override;
    void onButton2Clicked() override;
    void onCloseButtonClicked() override;

private:
    friend class ToastAnimationController;

    void onActionButtonClicked(int index);
    void applyToastData(const ToastData& data);
    void describeForAssistiveTechnologies(const ToastData& data);
    void attachToHostWindow();
    void onHostWindowVisibleChanged(bool visible);
    void onHostWindowGone();
    void placeInCorner();
    void bringToFront();
    void activate();

    quint64 m_toastId = 0;
    QList<ToastAction> m_actions;
    std::shared_ptr<ToastAnimationController> m_animationController;
    std::weak_ptr<ISystemNotifyToastListener> m_listener;
    QSharedPointer<ToastContentWidget> m_contentWidget;
    UmLiteWidget* m_contentContainer = nullptr;
    QBoxLayout* m_contentLayout = nullptr;
    QTimer m_hideTimer;
    QPointer<QWindow> m_hostWindow; // Wayland: the window the popup is placed in
};
