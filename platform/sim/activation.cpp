// RoGetActivationFactory: the table of runtime classes the simulation knows.
#include "activation_p.h"

#include "toastmanager_p.h"

#include <activation.h>
#include <windows.data.xml.dom.h>
#include <windows.ui.notifications.h>
#include <wrl/client.h>

#include <functional>
#include <map>

using Microsoft::WRL::ComPtr;

namespace {

using FactoryMaker = std::function<ComPtr<IActivationFactory>()>;

const std::map<QString, FactoryMaker>& knownClasses()
{
    static const std::map<QString, FactoryMaker> classes = {
        {QString::fromWCharArray(RuntimeClass_Windows_UI_Notifications_ToastNotificationManager),
         [] { return ComPtr<IActivationFactory>(Microsoft::WRL::Make<winsim::ToastNotificationManagerStatics>()); }},
        {QString::fromWCharArray(RuntimeClass_Windows_UI_Notifications_ToastNotification),
         [] { return ComPtr<IActivationFactory>(Microsoft::WRL::Make<winsim::ToastNotificationFactory>()); }},
        {QString::fromWCharArray(RuntimeClass_Windows_Data_Xml_Dom_XmlDocument),
         [] { return ComPtr<IActivationFactory>(Microsoft::WRL::Make<winsim::XmlDocumentFactory>()); }},
    };
    return classes;
}

} // namespace

namespace winsim {

HRESULT activationFactory(const QString& className, REFIID iid, void** factory)
{
    if (!factory)
        return E_POINTER;
    *factory = nullptr;
    const auto found = knownClasses().find(className);
    if (found == knownClasses().end())
        return REGDB_E_CLASSNOTREG;
    ComPtr<IActivationFactory> made = found->second();
    if (!made)
        return E_OUTOFMEMORY;
    return made->QueryInterface(iid, factory);
}

HRESULT activateInstance(const QString& className, IInspectable** instance)
{
    if (!instance)
        return E_POINTER;
    *instance = nullptr;
    ComPtr<IActivationFactory> factory;
    const HRESULT hr = activationFactory(className, __uuidof(IActivationFactory), &factory);
    if (FAILED(hr))
        return hr;
    return factory->ActivateInstance(instance);
}

} // namespace winsim
