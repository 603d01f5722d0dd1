// Helpers shared by the native toast tests: template documents straight from
// the platform, and their serialised form.
#pragma once

#include "activationfactory.h"
#include "hstringwrapper.h"
#include "winrtlibrary.h"

#include <windows.data.xml.dom.h>
#include <windows.ui.notifications.h>
#include <winstring.h>
#include <wrl/client.h>

#include <QString>

namespace nativetest {

using Microsoft::WRL::ComPtr;
using ABI::Windows::Data::Xml::Dom::IXmlDocument;

constexpr qint32 k_invalidArg = static_cast<qint32>(0x80070057u);
constexpr qint32 k_fail = static_cast<qint32>(0x80004005u);

inline ComPtr<IXmlDocument> templateDocument(int platformType)
{
    ComPtr<ABI::Windows::UI::Notifications::IToastNotificationManagerStatics> manager;
    getActivationFactory<ABI::Windows::UI::Notifications::IToastNotificationManagerStatics>(
        RuntimeClass_Windows_UI_Notifications_ToastNotificationManager, &manager);
    ComPtr<IXmlDocument> document;
    if (manager)
        manager->GetTemplateContent(static_cast<ABI::Windows::UI::Notifications::ToastTemplateType>(platformType), &document);
    return document;
}

inline QString serialize(IXmlDocument* document)
{
    ComPtr<ABI::Windows::Data::Xml::Dom::IXmlNodeSerializer> serializer;
    if (!document || FAILED(document->QueryInterface(__uuidof(ABI::Windows::Data::Xml::Dom::IXmlNodeSerializer),
                                                     reinterpret_cast<void**>(serializer.GetAddressOf()))))
        return QString();
    HSTRING xml = nullptr;
    serializer->GetXml(&xml);
    const QString text = QString::fromStdWString(HstringWrapper(xml).toWString());
    auto deleteString = reinterpret_cast<decltype(&WindowsDeleteString)>(resolveCombaseFunction("WindowsDeleteString"));
    if (deleteString)
        deleteString(xml);
    return text;
}

inline QString line(const QString& where, const QString& message)
{
    return QStringLiteral("call %1 : %2").arg(where, message);
}

} // namespace nativetest
