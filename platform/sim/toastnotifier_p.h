// Shows and hides toasts under one application user model id, through the
// installed delivery back end.
#pragma once

#include "simobject_p.h"

#include <windows.ui.notifications.h>

#include <QString>

namespace winsim {

class ToastNotifier : public SimObject<ABI::Windows::UI::Notifications::IToastNotifier>
{
public:
    explicit ToastNotifier(const QString& applicationId) : m_applicationId(applicationId) {}

    HRESULT STDMETHODCALLTYPE Show(ABI::Windows::UI::Notifications::IToastNotification* notification) override;
    // Takes a shown toast off the screen; it is dismissed as ApplicationHidden.
    HRESULT STDMETHODCALLTYPE Hide(ABI::Windows::UI::Notifications::IToastNotification* notification) override;
    HRESULT STDMETHODCALLTYPE get_Setting(ABI::Windows::UI::Notifications::NotificationSetting* value) override;
    // Scheduled toasts are not simulated.
    HRESULT STDMETHODCALLTYPE AddToSchedule(ABI::Windows::UI::Notifications::IScheduledToastNotification*) override;
    HRESULT STDMETHODCALLTYPE RemoveFromSchedule(ABI::Windows::UI::Notifications::IScheduledToastNotification*) override;
    HRESULT STDMETHODCALLTYPE GetScheduledToastNotifications(
        ABI::Windows::Foundation::Collections::IVectorView<ABI::Windows::UI::Notifications::ScheduledToastNotification*>**
            scheduledToasts) override;

private:
    QString m_applicationId;
};

} // namespace winsim
