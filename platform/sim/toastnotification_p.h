// One toast notification: its document, its three events, and where it was shown.
#pragma once

#include "simobject_p.h"

#include <windows.ui.notifications.h>
#include <winsim/delivery.h>

#include <mutex>

#include <memory>
#include <utility>
#include <vector>

namespace winsim {

using ABI::Windows::Data::Xml::Dom::IXmlDocument;
using ABI::Windows::Foundation::DateTime;
using ABI::Windows::Foundation::IReference;
using ABI::Windows::UI::Notifications::IToastNotification;
using ToastActivatedHandler = ABI::Windows::Foundation::ITypedEventHandler<
    ABI::Windows::UI::Notifications::ToastNotification*, IInspectable*>;
using ToastDismissedHandler = ABI::Windows::Foundation::ITypedEventHandler<
    ABI::Windows::UI::Notifications::ToastNotification*, ABI::Windows::UI::Notifications::ToastDismissedEventArgs*>;
using ToastFailedHandler = ABI::Windows::Foundation::ITypedEventHandler<
    ABI::Windows::UI::Notifications::ToastNotification*, ABI::Windows::UI::Notifications::ToastFailedEventArgs*>;
using Microsoft::WRL::ComPtr;

class ToastNotification : public SimObject<IToastNotification>
{
public:
    explicit ToastNotification(ComPtr<IXmlDocument> content);
    ~ToastNotification() override;

    HRESULT STDMETHODCALLTYPE get_Content(IXmlDocument** value) override;
    HRESULT STDMETHODCALLTYPE put_ExpirationTime(IReference<DateTime>* value) override;
    HRESULT STDMETHODCALLTYPE get_ExpirationTime(IReference<DateTime>** value) override;
    HRESULT STDMETHODCALLTYPE add_Dismissed(ToastDismissedHandler* handler, EventRegistrationToken* cookie) override;
    HRESULT STDMETHODCALLTYPE remove_Dismissed(EventRegistrationToken cookie) override;
    HRESULT STDMETHODCALLTYPE add_Activated(ToastActivatedHandler* handler, EventRegistrationToken* cookie) override;
    HRESULT STDMETHODCALLTYPE remove_Activated(EventRegistrationToken cookie) override;
    HRESULT STDMETHODCALLTYPE add_Failed(ToastFailedHandler* handler, EventRegistrationToken* cookie) override;
    HRESULT STDMETHODCALLTYPE remove_Failed(EventRegistrationToken cookie) override;

    // Call the registered handlers, on the calling thread (the platform's).
    void raiseActivated(const QString& arguments);
    void raiseDismissed(int reason);
    void raiseFailed(HRESULT errorCode);

    QString serializedContent() const;
    void setDelivery(quint64 key, const std::shared_ptr<DeliveryBackend>& backend);
    quint64 deliveryKey() const;
    std::shared_ptr<DeliveryBackend> deliveryBackend() const;

private:
    template <class THandler>
    using Handlers = std::vector<std::pair<INT64, ComPtr<THandler>>>;

    template <class THandler>
    HRESULT addHandler(Handlers<THandler>* list, THandler* handler, EventRegistrationToken* cookie);
    template <class THandler>
    void removeHandler(Handlers<THandler>* list, EventRegistrationToken cookie);
    template <class THandler>
    Handlers<THandler> snapshot(const Handlers<THandler>& list) const;

    ComPtr<IXmlDocument> m_content;
    mutable std::mutex m_mutex; // handlers are added on the caller's thread and called on the platform's
    ComPtr<IReference<DateTime>> m_expiration;
    Handlers<ToastActivatedHandler> m_activated;
    Handlers<ToastDismissedHandler> m_dismissed;
    Handlers<ToastFailedHandler> m_failed;
    quint64 m_deliveryKey = 0;
    std::weak_ptr<DeliveryBackend> m_backend;
};

// What a delivery back end reports on; every report becomes an event raised on
// the platform thread, never on the reporter's.
class NotificationEventSink : public ToastEventSink
{
public:
    explicit NotificationEventSink(ComPtr<ToastNotification> notification);

    void activated(const QString& arguments) override;
    void dismissed(int reason) override;
    void failed(int hresult) override;

private:
    ComPtr<ToastNotification> m_notification;
};

} // namespace winsim
