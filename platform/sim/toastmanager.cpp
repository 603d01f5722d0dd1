#include "toastmanager_p.h"

#include "hstring_p.h"
#include "toastnotification_p.h"
#include "toastnotifier_p.h"
#include "toasttemplates_p.h"
#include "xmldocument_p.h"

namespace winsim {

using namespace ABI::Windows::UI::Notifications;
using ABI::Windows::Data::Xml::Dom::IXmlDocument;

HRESULT ToastNotificationManagerStatics::CreateToastNotifier(IToastNotifier** notifier)
{
    WINSIM_CALL("IToastNotificationManagerStatics::CreateToastNotifier", notifier);
    detail::clearOut(notifier);
    return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
}

HRESULT ToastNotificationManagerStatics::CreateToastNotifierWithId(HSTRING applicationId, IToastNotifier** notifier)
{
    WINSIM_CALL("IToastNotificationManagerStatics::CreateToastNotifierWithId", notifier);
    if (!notifier)
        return E_POINTER;
    *notifier = nullptr;
    const QString id = toQString(applicationId);
    if (id.isEmpty())
        return E_INVALIDARG;
    *notifier = Microsoft::WRL::Make<ToastNotifier>(id).Detach();
    return *notifier ? S_OK : E_OUTOFMEMORY;
}

HRESULT ToastNotificationManagerStatics::GetTemplateContent(ToastTemplateType type, IXmlDocument** content)
{
    WINSIM_CALL("IToastNotificationManagerStatics::GetTemplateContent", content);
    if (!content)
        return E_POINTER;
    *content = toastTemplateDocument(static_cast<int>(type)).Detach();
    return *content ? S_OK : E_INVALIDARG;
}

HRESULT ToastNotificationManagerStatics::ActivateInstance(IInspectable** instance)
{
    detail::clearOut(instance);
    return E_NOTIMPL; // a static class
}

HRESULT ToastNotificationFactory::CreateToastNotification(IXmlDocument* content, IToastNotification** notification)
{
    WINSIM_CALL("IToastNotificationFactory::CreateToastNotification", notification);
    if (!notification)
        return E_POINTER;
    *notification = nullptr;
    if (!dynamic_cast<xml::XmlDocument*>(content))
        return E_INVALIDARG;
    *notification = Microsoft::WRL::Make<ToastNotification>(ComPtr<IXmlDocument>(content)).Detach();
    return *notification ? S_OK : E_OUTOFMEMORY;
}

HRESULT ToastNotificationFactory::ActivateInstance(IInspectable** instance)
{
    detail::clearOut(instance);
    return E_NOTIMPL; // made from a document only
}

HRESULT XmlDocumentFactory::ActivateInstance(IInspectable** instance)
{
    WINSIM_CALL("IActivationFactory::ActivateInstance", instance);
    if (!instance)
        return E_POINTER;
    ComPtr<IXmlDocument> document = xml::makeDocument();
    *instance = document.Detach();
    return *instance ? S_OK : E_OUTOFMEMORY;
}

} // namespace winsim
