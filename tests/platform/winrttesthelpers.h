#pragma once

#include "activationfactory.h"
#include "hstringwrapper.h"
#include "winrtlibrary.h"

#include <windows.data.xml.dom.h>
#include <windows.ui.notifications.h>
#include <winstring.h>
#include <wrl/client.h>

#include <QString>

// Short ways into the platform for the tests, through the module's own binding.
namespace winrttest {

using namespace ABI::Windows::Data::Xml::Dom;
using namespace ABI::Windows::UI::Notifications;
using Microsoft::WRL::ComPtr;

// The text of a string the platform handed out; the string is deleted.
inline QString take(HSTRING string)
{
    HstringWrapper view(string);
    const QString text = QString::fromStdWString(view.toWString());
    auto release = reinterpret_cast<decltype(&WindowsDeleteString)>(resolveCombaseFunction("WindowsDeleteString"));
    if (release)
        release(string);
    return text;
}

inline ComPtr<IToastNotificationManagerStatics> manager()
{
    ComPtr<IToastNotificationManagerStatics> statics;
    getActivationFactory<IToastNotificationManagerStatics>(RuntimeClass_Windows_UI_Notifications_ToastNotificationManager,
                                                          &statics);
    return statics;
}

inline ComPtr<IXmlDocument> templateDocument(int type)
{
    ComPtr<IXmlDocument> document;
    ComPtr<IToastNotificationManagerStatics> statics = manager();
    if (statics)
        statics->GetTemplateContent(static_cast<ToastTemplateType>(type), &document);
    return document;
}

// A new document with that content; null when it does not load.
inline ComPtr<IXmlDocument> document(const QString& xml)
{
    ComPtr<IActivationFactory> factory;
    getActivationFactory<IActivationFactory>(RuntimeClass_Windows_Data_Xml_Dom_XmlDocument, &factory);
    if (!factory)
        return nullptr;
    ComPtr<IInspectable> instance;
    factory->ActivateInstance(&instance);
    ComPtr<IXmlDocument> doc;
    ComPtr<IXmlDocumentIO> io;
    if (!instance || FAILED(instance.As(&doc)) || FAILED(doc.As(&io)))
        return nullptr;
    if (!xml.isEmpty() && FAILED(io->LoadXml(HstringWrapper(xml, false).get())))
        return nullptr;
    return doc;
}

template <class T>
QString xmlOf(const ComPtr<T>& node)
{
    ComPtr<IXmlNodeSerializer> serializer;
    if (!node || FAILED(node.As(&serializer)))
        return QStringLiteral("<not serialisable>");
    HSTRING xml = nullptr;
    serializer->GetXml(&xml);
    return take(xml);
}

inline ComPtr<IXmlNode> item(const ComPtr<IXmlDocument>& doc, const QString& tag, UINT32 index)
{
    ComPtr<IXmlNodeList> list;
    ComPtr<IXmlNode> node;
    if (SUCCEEDED(doc->GetElementsByTagName(HstringWrapper(tag, false).get(), &list)))
        list->Item(index, &node);
    return node;
}

inline HRESULT appendText(const ComPtr<IXmlDocument>& doc, const ComPtr<IXmlNode>& to, const QString& text)
{
    ComPtr<IXmlText> textNode;
    HRESULT hr = doc->CreateTextNode(HstringWrapper(text, false).get(), &textNode);
    if (FAILED(hr))
        return hr;
    ComPtr<IXmlNode> node;
    hr = textNode.As(&node);
    if (FAILED(hr))
        return hr;
    ComPtr<IXmlNode> appended;
    return to->AppendChild(node.Get(), &appended);
}

} // namespace winrttest
