// The activation factories of the toast runtime classes and of XmlDocument.
#pragma once

#include "simobject_p.h"

#include <activation.h>
#include <windows.ui.notifications.h>

namespace winsim {

// Windows.UI.Notifications.ToastNotificationManager (statics only).
class ToastNotificationManagerStatics
    : public SimObject<ABI::Windows::UI::Notifications::IToastNotificationManagerStatics, IActivationFactory>
{
public:
    // Desktop applications have no package identity: they must name an id.
    HRESULT STDMETHODCALLTYPE CreateToastNotifier(ABI::Windows::UI::Notifications::IToastNotifier** notifier) override;
    // An empty id is refused with E_INVALIDARG.
    HRESULT STDMETHODCALLTYPE CreateToastNotifierWithId(HSTRING applicationId,
                                                        ABI::Windows::UI::Notifications::IToastNotifier** notifier) override;
    HRESULT STDMETHODCALLTYPE GetTemplateContent(ABI::Windows::UI::Notifications::ToastTemplateType type,
                                                 ABI::Windows::Data::Xml::Dom::IXmlDocument** content) override;
    HRESULT STDMETHODCALLTYPE ActivateInstance(IInspectable** instance) override;
};

// Windows.UI.Notifications.ToastNotification
class ToastNotificationFactory
    : public SimObject<ABI::Windows::UI::Notifications::IToastNotificationFactory, IActivationFactory>
{
public:
    HRESULT STDMETHODCALLTYPE CreateToastNotification(ABI::Windows::Data::Xml::Dom::IXmlDocument* content,
                                                      ABI::Windows::UI::Notifications::IToastNotification** notification) override;
    HRESULT STDMETHODCALLTYPE ActivateInstance(IInspectable** instance) override;
};

// Windows.Data.Xml.Dom.XmlDocument
class XmlDocumentFactory : public SimObject<IActivationFactory>
{
public:
    HRESULT STDMETHODCALLTYPE ActivateInstance(IInspectable** instance) override;
};

} // namespace winsim
