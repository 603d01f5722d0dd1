#include "toastnotification_p.h"

#include "platformthread_p.h"
#include "toasteventargs_p.h"
#include "xmlnodecore_p.h"


#include <algorithm>
#include <atomic>

namespace winsim {

namespace {

std::atomic<INT64> g_nextToken{0x1000};

// Let go of on the event thread, after the raises queued before: a raise in
// progress holds the handler as well, and only a reference its subscriber
// kept may count as one kept alive.
template <class THandler>
void releaseHandler(ComPtr<THandler>& handler)
{
    if (!handler)
        return;
    THandler* released = handler.Detach();
    platformthread::post([released] { detail::countHandlerRelease(released->Release()); });
}

template <class THandler>
void releaseHandlers(std::vector<std::pair<INT64, ComPtr<THandler>>>* list)
{
    for (auto& entry : *list)
        releaseHandler(entry.second);
}

} // namespace

ToastNotification::ToastNotification(ComPtr<IXmlDocument> content)
    : m_content(std::move(content))
{
}

// Handlers still registered go with the notification (a subscriber that never
// unsubscribed); a raise in progress holds its own references.
ToastNotification::~ToastNotification()
{
    releaseHandlers(&m_activated);
    releaseHandlers(&m_dismissed);
    releaseHandlers(&m_failed);
}

HRESULT ToastNotification::get_Content(IXmlDocument** value)
{
    WINSIM_CALL("IToastNotification::get_Content", value);
    if (!value)
        return E_POINTER;
    return m_content.CopyTo(value);
}

HRESULT ToastNotification::put_ExpirationTime(IReference<DateTime>* value)
{
    WINSIM_CALL("IToastNotification::put_ExpirationTime");
    std::lock_guard<std::mutex> lock(m_mutex);
    m_expiration = value;
    return S_OK;
}

HRESULT ToastNotification::get_ExpirationTime(IReference<DateTime>** value)
{
    WINSIM_CALL("IToastNotification::get_ExpirationTime", value);
    if (!value)
        return E_POINTER;
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_expiration.CopyTo(value);
}

template <class THandler>
HRESULT ToastNotification::addHandler(Handlers<THandler>* list, THandler* handler, EventRegistrationToken* cookie)
{
    if (!cookie)
        return E_POINTER;
    if (!handler)
        return E_INVALIDARG;
    const INT64 token = g_nextToken++;
    std::lock_guard<std::mutex> lock(m_mutex);
    list->emplace_back(token, ComPtr<THandler>(handler));
    cookie->value = token;
    return S_OK;
}

template <class THandler>
void ToastNotification::removeHandler(Handlers<THandler>* list, EventRegistrationToken cookie)
{
    ComPtr<THandler> removed; // released after the lock: it may be the delegate's last reference
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto found = std::find_if(list->begin(), list->end(),
                                        [&](const std::pair<INT64, ComPtr<THandler>>& h) { return h.first == cookie.value; });
        if (found == list->end())
            return; // an unknown token is not an error
        removed = found->second;
        list->erase(found);
    }
    releaseHandler(removed);
}

template <class THandler>
ToastNotification::Handlers<THandler> ToastNotification::snapshot(const Handlers<THandler>& list) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return list;
}

HRESULT ToastNotification::add_Dismissed(ToastDismissedHandler* handler, EventRegistrationToken* cookie)
{
    WINSIM_CALL("IToastNotification::add_Dismissed", cookie);
    return addHandler(&m_dismissed, handler, cookie);
}

HRESULT ToastNotification::remove_Dismissed(EventRegistrationToken cookie)
{
    WINSIM_CALL("IToastNotification::remove_Dismissed");
    removeHandler(&m_dismissed, cookie);
    return S_OK;
}

HRESULT ToastNotification::add_Activated(ToastActivatedHandler* handler, EventRegistrationToken* cookie)
{
    WINSIM_CALL("IToastNotification::add_Activated", cookie);
    return addHandler(&m_activated, handler, cookie);
}

HRESULT ToastNotification::remove_Activated(EventRegistrationToken cookie)
{
    WINSIM_CALL("IToastNotification::remove_Activated");
    removeHandler(&m_activated, cookie);
    return S_OK;
}

HRESULT ToastNotification::add_Failed(ToastFailedHandler* handler, EventRegistrationToken* cookie)
{
    WINSIM_CALL("IToastNotification::add_Failed", cookie);
    return addHandler(&m_failed, handler, cookie);
}

HRESULT ToastNotification::remove_Failed(EventRegistrationToken cookie)
{
    WINSIM_CALL("IToastNotification::remove_Failed");
    removeHandler(&m_failed, cookie);
    return S_OK;
}

// Handlers are called without the lock held: they may add or remove handlers.
// What a handler returns is not looked at, as on Windows.
void ToastNotification::raiseActivated(const QString& arguments)
{
    ComPtr<IInspectable> args = Microsoft::WRL::Make<ToastActivatedEventArgs>(arguments);
    for (const auto& handler : snapshot(m_activated))
        handler.second->Invoke(this, args.Get());
}

void ToastNotification::raiseDismissed(int reason)
{
    ComPtr<ToastDismissedEventArgs> args = Microsoft::WRL::Make<ToastDismissedEventArgs>(reason);
    for (const auto& handler : snapshot(m_dismissed))
        handler.second->Invoke(this, args.Get());
}

void ToastNotification::raiseFailed(HRESULT errorCode)
{
    ComPtr<ToastFailedEventArgs> args = Microsoft::WRL::Make<ToastFailedEventArgs>(errorCode);
    for (const auto& handler : snapshot(m_failed))
        handler.second->Invoke(this, args.Get());
}

QString ToastNotification::serializedContent() const
{
    QString xml;
    // A toast document is about a kilobyte: one allocation instead of a dozen.
    xml.reserve(2048);
    if (xml::NodeCore* core = xml::NodeCore::of(dynamic_cast<ABI::Windows::Data::Xml::Dom::IXmlNode*>(m_content.Get())))
        core->serialize(&xml);
    return xml;
}

void ToastNotification::setDelivery(quint64 key, const std::shared_ptr<DeliveryBackend>& backend)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_deliveryKey = key;
    m_backend = backend;
}

quint64 ToastNotification::deliveryKey() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_deliveryKey;
}

std::shared_ptr<DeliveryBackend> ToastNotification::deliveryBackend() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_backend.lock();
}

NotificationEventSink::NotificationEventSink(ComPtr<ToastNotification> notification)
    : m_notification(std::move(notification))
{
}

// Each task holds the notification, so its handlers stay callable even when
// every other reference has been released meanwhile.
void NotificationEventSink::activated(const QString& arguments)
{
    ComPtr<ToastNotification> notification = m_notification;
    platformthread::post([notification, arguments] { notification->raiseActivated(arguments); });
}

void NotificationEventSink::dismissed(int reason)
{
    ComPtr<ToastNotification> notification = m_notification;
    platformthread::post([notification, reason] { notification->raiseDismissed(reason); });
}

void NotificationEventSink::failed(int hresult)
{
    ComPtr<ToastNotification> notification = m_notification;
    platformthread::post([notification, hresult] { notification->raiseFailed(hresult); });
}

} // namespace winsim
