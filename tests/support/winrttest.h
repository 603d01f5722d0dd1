// Short ways into the simulated platform for the tests, through the module's own binding.
#pragma once

#include "activationfactory.h"
#include "hstringwrapper.h"
#include "winrtlibrary.h"

#include <windows.data.xml.dom.h>
#include <windows.ui.notifications.h>
#include <winstring.h>
#include <wrl/client.h>

#include <QString>

namespace winrttest {

using namespace ABI::Windows::Data::Xml::Dom;
using namespace ABI::Windows::UI::Notifications;
using Microsoft::WRL::ComPtr;

constexpr qint32 k_invalidArg = static_cast<qint32>(0x80070057u);
constexpr qint32 k_fail = static_cast<qint32>(0x80004005u);

// A log line as the module writes it.
inline QString line(const QString& where, const QString& message)
{
    return QStringLiteral("call %1 : %2").arg(where, message);
}

inline ComPtr<IToastNotificationManagerStatics> manager()
{
    ComPtr<IToastNotificationManagerStatics> statics;
    getActivationFactory<IToastNotificationManagerStatics>(RuntimeClass_Windows_UI_Notifications_ToastNotificationManager, &statics);
    return statics;
}

inline ComPtr<IXmlDocument> templateDocument(int platformType)
{
    ComPtr<IXmlDocument> document;
    if (ComPtr<IToastNotificationManagerStatics> statics = manager())
        statics->GetTemplateContent(static_cast<ToastTemplateType>(platformType), &document);
    return document;
}

template <class T>
QString xmlOf(const ComPtr<T>& node)
{
    ComPtr<IXmlNodeSerializer> serializer;
    if (!node || FAILED(node.As(&serializer)))
        return QStringLiteral("<not serialisable>");
    HSTRING xml = nullptr;
    serializer->GetXml(&xml);
    const QString text = QString::fromStdWString(HstringWrapper(xml).toWString());
    if (auto release = reinterpret_cast<decltype(&WindowsDeleteString)>(resolveCombaseFunction("WindowsDeleteString")))
        release(xml);
    return text;
}

inline ComPtr<IToastNotification> makeNotification(const ComPtr<IXmlDocument>& content)
{
    ComPtr<IToastNotificationFactory> factory;
    getActivationFactory<IToastNotificationFactory>(RuntimeClass_Windows_UI_Notifications_ToastNotification, &factory);
    ComPtr<IToastNotification> notification;
    if (factory)
        factory->CreateToastNotification(content.Get(), &notification);
    return notification;
}

inline ComPtr<IToastNotifier> makeNotifier(const QString& appId)
{
    ComPtr<IToastNotifier> notifier;
    if (ComPtr<IToastNotificationManagerStatics> statics = manager())
        statics->CreateToastNotifierWithId(HstringWrapper(appId, false).get(), &notifier);
    return notifier;
}

} // namespace winrttest
