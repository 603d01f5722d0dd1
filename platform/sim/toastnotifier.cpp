#include "toastnotifier_p.h"

#include "toastnotification_p.h"

#include <winsim/control.h>

#include <atomic>

namespace winsim {

using namespace ABI::Windows::UI::Notifications;

namespace {

std::atomic<quint64> g_nextDeliveryKey{0};

ToastNotification* simulated(IToastNotification* notification)
{
    return dynamic_cast<ToastNotification*>(notification);
}

} // namespace

HRESULT ToastNotifier::Show(IToastNotification* notification)
{
    WINSIM_CALL("IToastNotifier::Show");
    ToastNotification* toast = simulated(notification);
    if (!toast)
        return E_INVALIDARG;
    ToastDelivery delivery;
    delivery.key = ++g_nextDeliveryKey;
    delivery.appUserModelId = m_applicationId;
    delivery.xml = toast->serializedContent();
    std::shared_ptr<DeliveryBackend> backend = control::deliveryBackend();
    toast->setDelivery(delivery.key, backend);
    backend->show(delivery, std::make_shared<NotificationEventSink>(ComPtr<ToastNotification>(toast)));
    return S_OK;
}

HRESULT ToastNotifier::Hide(IToastNotification* notification)
{
    WINSIM_CALL("IToastNotifier::Hide");
    ToastNotification* toast = simulated(notification);
    if (!toast)
        return E_INVALIDARG;
    std::shared_ptr<DeliveryBackend> backend = toast->deliveryBackend();
    if (backend && toast->deliveryKey())
        backend->hide(toast->deliveryKey());
    return S_OK; // a toast that was never shown has nothing to hide
}

HRESULT ToastNotifier::get_Setting(NotificationSetting* value)
{
    WINSIM_CALL("IToastNotifier::get_Setting", value);
    if (!value)
        return E_POINTER;
    *value = NotificationSetting_Enabled;
    return S_OK;
}

HRESULT ToastNotifier::AddToSchedule(IScheduledToastNotification*)
{
    return E_NOTIMPL;
}

HRESULT ToastNotifier::RemoveFromSchedule(IScheduledToastNotification*)
{
    return E_NOTIMPL;
}

HRESULT ToastNotifier::GetScheduledToastNotifications(
    ABI::Windows::Foundation::Collections::IVectorView<ScheduledToastNotification*>** scheduledToasts)
{
    detail::clearOut(scheduledToasts);
    return E_NOTIMPL;
}

} // namespace winsim
