#pragma once

#include "isystemnotifytoast.h"
#include "isystemnotifytoastlistener.h"
#include "toastdata.h"

#include <windows.ui.notifications.h>
#include <wrl/client.h>

#include <QList>
#include <QMetaType>
#include <QObject>
#include <QString>

#include <memory>

// The dismissal signal may cross from a platform thread to the owning one.
Q_DECLARE_METATYPE(ToastDismissalReasonType)

// One shown native toast: holds the platform notification, subscribes to its
// three events and turns each into one listener call on the thread that owns it.
class SystemToastNotify : public QObject, public std::enable_shared_from_this<SystemToastNotify>
{
    Q_OBJECT
public:
    using IToastNotification = ABI::Windows::UI::Notifications::IToastNotification;

    SystemToastNotify(quint64 id, const std::weak_ptr<ISystemNotifyToastListener>& listener);
    ~SystemToastNotify() override;

    // Owned this way, the object is destroyed on its own thread even when an
    // event handler on a platform thread drops the last reference.
    static std::shared_ptr<SystemToastNotify> create(quint64 id, const std::weak_ptr<ISystemNotifyToastListener>& listener);

    quint64 toastId() const { return m_toastId; }
    void setActions(const QList<ToastAction>& actions);

    // Only on an object owned by a std::shared_ptr. The caller keeps its own reference.
    bool attach(IToastNotification* notification, quint64 expiration);
    HRESULT attachActivated();
    HRESULT attachDismissed(quint64 expiration);
    HRESULT attachFailed();

    // A new reference to the held notification, or null.
    Microsoft::WRL::ComPtr<IToastNotification> notification() const;
    // Unsubscribes, reports the dismissal (reason 0) and drops the notification.
    void detach();

signals:
    void sigActivated(const QString& arguments, QPrivateSignal);
    void sigDismissed(ToastDismissalReasonType reason, QPrivateSignal);
    void sigFailed(int errorCode, QPrivateSignal);

protected slots:
    void onActivated(const QString& arguments);
    void onDismissed(ToastDismissalReasonType reason);
    void onFailed(int errorCode);

private:
    struct NotificationHolder;

    quint64 m_toastId;
    std::unique_ptr<NotificationHolder> m_holder;
    std::weak_ptr<ISystemNotifyToastListener> m_listener;
    QList<ToastAction> m_actions;
};
