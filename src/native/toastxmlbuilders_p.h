// The builders that fill a toast template document. They are file-local to the
// translation unit that includes this header (the native toast service, and
// the tests that drive them on real template documents), so each keeps its own
// copy and the log names them as free functions of an anonymous namespace.
#pragma once

#include "hstringwrapper.h"
#include "systemversion.h"
#include "toastdata.h"
#include "toastlog.h"

#include <windows.data.xml.dom.h>
#include <windows.ui.notifications.h>
#include <wrl/client.h>

#include <QOperatingSystemVersion>
#include <QString>
#include <QStringList>

namespace {

using ABI::Windows::Data::Xml::Dom::IXmlAttribute;
using ABI::Windows::Data::Xml::Dom::IXmlDocument;
using ABI::Windows::Data::Xml::Dom::IXmlElement;
using ABI::Windows::Data::Xml::Dom::IXmlNamedNodeMap;
using ABI::Windows::Data::Xml::Dom::IXmlNode;
using ABI::Windows::Data::Xml::Dom::IXmlNodeList;
using ABI::Windows::Data::Xml::Dom::IXmlText;
using ABI::Windows::UI::Notifications::ToastTemplateType;
using Microsoft::WRL::ComPtr;

const wchar_t k_toast[] = L"toast";
const wchar_t k_binding[] = L"binding";
const wchar_t k_text[] = L"text";
const wchar_t k_image[] = L"image";
const wchar_t k_audio[] = L"audio";
const wchar_t k_actions[] = L"actions";
const wchar_t k_action[] = L"action";
const wchar_t k_template[] = L"template";
const wchar_t k_toastGeneric[] = L"ToastGeneric";
const wchar_t k_duration[] = L"duration";
const wchar_t k_long[] = L"long";
const wchar_t k_content[] = L"content";
const wchar_t k_arguments[] = L"arguments";
const wchar_t k_src[] = L"src";
const wchar_t k_placement[] = L"placement";
const wchar_t k_appLogoOverrige[] = L"appLogoOverride";
const wchar_t k_hero[] = L"hero";
const wchar_t k_attribution[] = L"attribution";

constexpr int k_maxImagePath = 260; // MAX_PATH, in UTF-16 code units

// The request numbers its eight layouts text-only first; the platform the other way round.
struct TemplateRow
{
    ToastTemplateType type;
    int textFields;
};
constexpr TemplateRow k_templateRows[] = {
    {ABI::Windows::UI::Notifications::ToastTemplateType_ToastText01, 1},
    {ABI::Windows::UI::Notifications::ToastTemplateType_ToastText02, 2},
    {ABI::Windows::UI::Notifications::ToastTemplateType_ToastText03, 2},
    {ABI::Windows::UI::Notifications::ToastTemplateType_ToastText04, 3},
    {ABI::Windows::UI::Notifications::ToastTemplateType_ToastImageAndText01, 1},
    {ABI::Windows::UI::Notifications::ToastTemplateType_ToastImageAndText02, 2},
    {ABI::Windows::UI::Notifications::ToastTemplateType_ToastImageAndText03, 2},
    {ABI::Windows::UI::Notifications::ToastTemplateType_ToastImageAndText04, 3},
};
constexpr unsigned k_templateRowCount = sizeof(k_templateRows) / sizeof(k_templateRows[0]);

ToastTemplateType toTemplateType(int tostType)
{
    if (static_cast<unsigned>(tostType) >= k_templateRowCount)
        return ABI::Windows::UI::Notifications::ToastTemplateType_ToastImageAndText01;
    return k_templateRows[tostType].type;
}

// 0 for a type outside the table: such a request is refused.
int textFieldCount(int tostType)
{
    if (static_cast<unsigned>(tostType) >= k_templateRowCount)
        return 0;
    return k_templateRows[tostType].textFields;
}

bool isImageTemplate(int tostType)
{
    return toTemplateType(tostType) < ABI::Windows::UI::Notifications::ToastTemplateType_ToastText01;
}

QString builderPlace(const char* name)
{
    return QStringLiteral("`anonymous-namespace'::") + QLatin1String(name);
}

// The exit line a builder writes on every path out, after any error line.
class BuilderExit
{
public:
    explicit BuilderExit(const char* name) : m_name(name) {}
    ~BuilderExit() { logCall(builderPlace(m_name), QStringLiteral("end")); }
    BuilderExit(const BuilderExit&) = delete;
    BuilderExit& operator=(const BuilderExit&) = delete;

private:
    const char* m_name;
};

HRESULT addEmptyAttribute(IXmlDocument* xml, const QString& name, IXmlNamedNodeMap* attributeMap)
{
    if (!xml || !attributeMap)
        return E_FAIL;
    ComPtr<IXmlAttribute> srcAttribute;
    HRESULT hr = xml->CreateAttribute(HstringWrapper(name, false).get(), &srcAttribute);
    if (checkFailed(QStringLiteral("xml->CreateAttribute(HstringWrapper(name, false).get(), &srcAttribute)"), hr, srcAttribute.Get()))
        return stopResult(hr);
    ComPtr<IXmlNode> node;
    hr = srcAttribute.As(&node);
    if (checkFailed(QStringLiteral("srcAttribute.As(&node)"), hr, node.Get()))
        return stopResult(hr);
    ComPtr<IXmlNode> nameNode;
    hr = attributeMap->SetNamedItem(node.Get(), &nameNode);
    if (checkFailed(QStringLiteral("attributeMap->SetNamedItem(node.Get(), &nameNode)"), hr, nameNode.Get()))
        return stopResult(hr);
    return hr;
}

HRESULT createElement(IXmlDocument* xml, const QString& rootNode, const QString& elementName, const QStringList& attributes)
{
    if (!xml)
        return E_FAIL;
    ComPtr<IXmlNodeList> rootList;
    HRESULT hr = xml->GetElementsByTagName(HstringWrapper(rootNode, false).get(), &rootList);
    if (checkFailed(QStringLiteral("xml->GetElementsByTagName(HstringWrapper(rootNode, false).get(), &rootList)"), hr, rootList.Get()))
        return stopResult(hr);
    ComPtr<IXmlNode> root;
    hr = rootList->Item(0, &root);
    if (checkFailed(QStringLiteral("rootList->Item(0, &root)"), hr, root.Get()))
        return stopResult(hr);
    ComPtr<IXmlElement> element;
    hr = xml->CreateElement(HstringWrapper(elementName, false).get(), &element);
    if (checkFailed(QStringLiteral("xml->CreateElement(HstringWrapper(elementName, false).get(), &element)"), hr, element.Get()))
        return stopResult(hr);
    ComPtr<IXmlNode> nodeTemp;
    hr = element.As(&nodeTemp);
    if (checkFailed(QStringLiteral("element.As(&nodeTemp)"), hr, nodeTemp.Get()))
        return stopResult(hr);
    ComPtr<IXmlNode> node;
    hr = root->AppendChild(nodeTemp.Get(), &node);
    if (checkFailed(QStringLiteral("root->AppendChild(nodeTemp.Get(), &node)"), hr, node.Get()))
        return stopResult(hr);
    ComPtr<IXmlNamedNodeMap> attributeMap;
    hr = node->get_Attributes(&attributeMap);
    if (checkFailed(QStringLiteral("node->get_Attributes(&attributes)"), hr, attributeMap.Get()))
        return stopResult(hr);
    for (const QString& name : attributes)
        addEmptyAttribute(xml, name, attributeMap.Get());
    return hr;
}

HRESULT addAttributeByTagName(IXmlDocument* xml, const QString& tagName, const QString& key, const QString& value)
{
    logCall(builderPlace("addAttributeByTagName"), QStringLiteral("begin tag:%1 key:%2 value:%3").arg(tagName, key, value));
    BuilderExit exit("addAttributeByTagName");
    if (!xml || tagName.isEmpty() || key.isEmpty() || value.isEmpty())
        return E_FAIL;
    ComPtr<IXmlNodeList> nodeList;
    HRESULT hr = xml->GetElementsByTagName(HstringWrapper(tagName, false).get(), &nodeList);
    if (checkFailed(QStringLiteral("xml->GetElementsByTagName(HstringWrapper(tagName, false).get(), &nodeList)"), hr, nodeList.Get()))
        return stopResult(hr);
    UINT32 len = 0;
    hr = nodeList->get_Length(&len);
    if (checkFailed(QStringLiteral("nodeList->get_Length(&len)"), hr))
        return hr;
    ComPtr<IXmlNode> toastNode;
    hr = nodeList->Item(0, &toastNode);
    if (checkFailed(QStringLiteral("nodeList->Item(0, &toastNode)"), hr, toastNode.Get()))
        return stopResult(hr);
    ComPtr<IXmlElement> toastElement;
    hr = toastNode.As(&toastElement);
    if (checkFailed(QStringLiteral("toastNode.As(&toastElement)"), hr, toastElement.Get()))
        return stopResult(hr);
    hr = toastElement->SetAttribute(HstringWrapper(key, false).get(), HstringWrapper(value, false).get());
    checkFailed(QStringLiteral("toastElement->SetAttribute(HstringWrapper(key, false).get(), HstringWrapper(value, false).get())"), hr);
    return hr;
}

HRESULT setBindToastGeneric(IXmlDocument* xml)
{
    return addAttributeByTagName(xml, QString::fromWCharArray(k_binding), QString::fromWCharArray(k_template),
                                 QString::fromWCharArray(k_toastGeneric));
}

HRESULT setNodeStringValue(const QString& str, IXmlNode* node, IXmlDocument* xml)
{
    logCall(builderPlace("setNodeStringValue"), QStringLiteral("begin stringValue:%1").arg(str));
    BuilderExit exit("setNodeStringValue");
    if (!node || !xml)
        return E_FAIL;
    ComPtr<IXmlText> textNode;
    HRESULT hr = xml->CreateTextNode(HstringWrapper(str, false).get(), &textNode);
    if (checkFailed(QStringLiteral("xml->CreateTextNode(HstringWrapper(str, false).get(), &textNode)"), hr, textNode.Get()))
        return stopResult(hr);
    ComPtr<IXmlNode> stringNode;
    hr = textNode.As(&stringNode);
    if (checkFailed(QStringLiteral("textNode.As(&stringNode)"), hr, stringNode.Get()))
        return stopResult(hr);
    ComPtr<IXmlNode> appendChild;
    hr = node->AppendChild(stringNode.Get(), &appendChild);
    if (checkFailed(QStringLiteral("node->AppendChild(stringNode.Get(), &appendChild)"), hr, appendChild.Get()))
        return stopResult(hr);
    return hr;
}

HRESULT setTextField(IXmlDocument* xml, const QString& text, int pos)
{
    logCall(builderPlace("setTextField"), QStringLiteral("begin text:%1 pos:%2").arg(text, QString::number(pos)));
    BuilderExit exit("setTextField");
    if (!xml || text.isEmpty())
        return E_FAIL;
    ComPtr<IXmlNodeList> nodeList;
    HRESULT hr = xml->GetElementsByTagName(HstringWrapper(k_text, false).get(), &nodeList);
    if (checkFailed(QStringLiteral("xml->GetElementsByTagName(HstringWrapper(k_text, false).get(), &nodeList)"), hr, nodeList.Get()))
        return stopResult(hr);
    ComPtr<IXmlNode> node;
    hr = nodeList->Item(static_cast<UINT32>(pos), &node);
    if (checkFailed(QStringLiteral("nodeList->Item(static_cast<UINT32>(pos), &node)"), hr, node.Get()))
        return stopResult(hr);
    hr = setNodeStringValue(text, node.Get(), xml);
    checkFailed(QStringLiteral("setNodeStringValue(text, node.Get(), xml)"), hr);
    return hr;
}

HRESULT setAttributionTextField(IXmlDocument* xml, const QString& text)
{
    if (!xml)
        return E_FAIL;
    HRESULT hr = createElement(xml, QString::fromWCharArray(k_binding), QString::fromWCharArray(k_text),
                               {QString::fromWCharArray(k_placement)});
    if (checkFailed(QStringLiteral("createElement(xml, \"binding\", \"text\", { \"placement\" })"), hr))
        return hr;
    ComPtr<IXmlNodeList> nodeList;
    hr = xml->GetElementsByTagName(HstringWrapper(k_text, false).get(), &nodeList);
    if (checkFailed(QStringLiteral("xml->GetElementsByTagName(HstringWrapper(k_text, false).get(), &nodeList)"), hr, nodeList.Get()))
        return stopResult(hr);
    UINT32 lenght = 0;
    hr = nodeList->get_Length(&lenght);
    if (checkFailed(QStringLiteral("nodeList->get_Length(&lenght)"), hr))
        return hr;
    for (UINT32 i = 0; i < lenght; ++i) {
        ComPtr<IXmlNode> textNode;
        HRESULT itemResult = nodeList->Item(i, &textNode);
        if (checkFailed(QStringLiteral("nodeList->Item(i, &textNode)"), itemResult, textNode.Get()))
            return stopResult(itemResult);
        ComPtr<IXmlNamedNodeMap> attributes;
        itemResult = textNode->get_Attributes(&attributes);
        if (checkFailed(QStringLiteral("textNode->get_Attributes(&attributes)"), itemResult, attributes.Get()))
            return stopResult(itemResult);
        ComPtr<IXmlNode> editNode;
        itemResult = attributes->GetNamedItem(HstringWrapper(k_placement, false).get(), &editNode);
        if (checkFailed(QStringLiteral("attributes->GetNamedItem(HstringWrapper(k_placement, false).get(), &editNode)"), itemResult))
            return itemResult;
        if (!editNode)
            continue; // one of the template's own lines
        itemResult = setNodeStringValue(QString::fromWCharArray(k_attribution), editNode.Get(), xml);
        if (checkFailed(QStringLiteral("setNodeStringValue(QString::fromStdWString(k_attribution), editNode.Get(), xml)"), itemResult))
            return itemResult;
        return setTextField(xml, text, static_cast<int>(i));
    }
    return hr;
}

HRESULT addAction(IXmlDocument* xml, const QString& content, const QString& arguments)
{
    logCall(builderPlace("addAction"), QStringLiteral("begin content:%1 arguments:%2").arg(content, arguments));
    BuilderExit exit("addAction");
    if (!xml)
        return E_FAIL;
    ComPtr<IXmlNodeList> nodeList;
    HRESULT hr = xml->GetElementsByTagName(HstringWrapper(k_actions, false).get(), &nodeList);
    if (checkFailed(QStringLiteral("xml->GetElementsByTagName(HstringWrapper(k_actions, false).get(), &nodeList)"), hr, nodeList.Get()))
        return stopResult(hr);
    UINT32 len = 0;
    hr = nodeList->get_Length(&len);
    if (checkFailed(QStringLiteral("nodeList->get_Length(&len)"), hr))
        return hr;
    ComPtr<IXmlNode> actionsNode;
    if (len > 0) {
        hr = nodeList->Item(0, &actionsNode);
        if (checkFailed(QStringLiteral("nodeList->Item(0, &actionsNode)"), hr, actionsNode.Get()))
            return stopResult(hr);
    } else {
        // The first action turns the toast into the adaptive layout and gives it the container.
        hr = xml->GetElementsByTagName(HstringWrapper(k_toast, false).get(), &nodeList);
        if (checkFailed(QStringLiteral("xml->GetElementsByTagName(HstringWrapper(k_toast, false).get(), &nodeList)"), hr, nodeList.Get()))
            return stopResult(hr);
        hr = nodeList->get_Length(&len);
        if (checkFailed(QStringLiteral("nodeList->get_Length(&len)"), hr))
            return hr;
        ComPtr<IXmlNode> toastNode;
        hr = nodeList->Item(0, &toastNode);
        if (checkFailed(QStringLiteral("nodeList->Item(0, &toastNode)"), hr, toastNode.Get()))
            return stopResult(hr);
        ComPtr<IXmlElement> toastElement;
        hr = toastNode.As(&toastElement);
        if (checkFailed(QStringLiteral("toastNode.As(&toastElement)"), hr, toastElement.Get()))
            return stopResult(hr);
        hr = toastElement->SetAttribute(HstringWrapper(k_template, false).get(), HstringWrapper(k_toastGeneric, false).get());
        if (checkFailed(QStringLiteral("toastElement->SetAttribute(HstringWrapper(k_template, false).get(), HstringWrapper(k_toastGeneric, false).get())"), hr))
            return hr;
        hr = toastElement->SetAttribute(HstringWrapper(k_duration, false).get(), HstringWrapper(k_long, false).get());
        if (checkFailed(QStringLiteral("toastElement->SetAttribute(HstringWrapper(k_duration, false).get(), HstringWrapper(k_long, false).get())"), hr))
            return hr;
        ComPtr<IXmlElement> actionsElement;
        hr = xml->CreateElement(HstringWrapper(k_actions, false).get(), &actionsElement);
        if (checkFailed(QStringLiteral("xml->CreateElement(HstringWrapper(k_actions, false).get(), &actionsElement)"), hr, actionsElement.Get()))
            return stopResult(hr);
        hr = actionsElement.As(&actionsNode);
        if (checkFailed(QStringLiteral("actionsElement.As(&actionsNode)"), hr, actionsNode.Get()))
            return stopResult(hr);
        ComPtr<IXmlNode> appendChild;
        hr = toastNode->AppendChild(actionsNode.Get(), &appendChild);
        if (checkFailed(QStringLiteral("toastNode->AppendChild(actionsNode.Get(), &appendChild)"), hr, appendChild.Get()))
            return stopResult(hr);
    }
    ComPtr<IXmlElement> actionElement;
    hr = xml->CreateElement(HstringWrapper(k_action, false).get(), &actionElement);
    if (checkFailed(QStringLiteral("xml->CreateElement(HstringWrapper(k_action, false).get(), &actionElement)"), hr, actionElement.Get()))
        return stopResult(hr);
    hr = actionElement->SetAttribute(HstringWrapper(k_content, false).get(), HstringWrapper(content, false).get());
    if (checkFailed(QStringLiteral("actionElement->SetAttribute(HstringWrapper(k_content, false).get(), HstringWrapper(content, false).get())"), hr))
        return hr;
    hr = actionElement->SetAttribute(HstringWrapper(k_arguments, false).get(), HstringWrapper(arguments, false).get());
    if (checkFailed(QStringLiteral("actionElement->SetAttribute(HstringWrapper(k_arguments, false).get(), HstringWrapper(arguments, false).get())"), hr))
        return hr;
    ComPtr<IXmlNode> actionNode;
    hr = actionElement.As(&actionNode);
    if (checkFailed(QStringLiteral("actionElement.As(&actionNode)"), hr, actionNode.Get()))
        return stopResult(hr);
    ComPtr<IXmlNode> appendChild;
    hr = actionsNode->AppendChild(actionNode.Get(), &appendChild);
    if (checkFailed(QStringLiteral("actionsNode->AppendChild(actionNode.Get(), &appendChild)"), hr, appendChild.Get()))
        return stopResult(hr);
    return hr;
}

HRESULT setAudioField(IXmlDocument* xml, const QString& audioPath, int audioType)
{
    if (audioPath.isEmpty() && audioType == 0)
        return S_OK;
    if (!xml)
        return E_FAIL;
    QStringList names;
    if (!audioPath.isEmpty())
        names << QString::fromWCharArray(k_src);
    QString audioTypeString;
    if (audioType == 2)
        audioTypeString = QStringLiteral("loop");
    else if (audioType == 1)
        audioTypeString = QStringLiteral("silent");
    if (!audioTypeString.isEmpty())
        names << audioTypeString;
    createElement(xml, QString::fromWCharArray(k_toast), QString::fromWCharArray(k_audio), names);

    ComPtr<IXmlNodeList> nodeList;
    HRESULT hr = xml->GetElementsByTagName(HstringWrapper(k_audio, false).get(), &nodeList);
    if (checkFailed(QStringLiteral("xml->GetElementsByTagName(HstringWrapper(k_audio, false).get(), &nodeList)"), hr, nodeList.Get()))
        return stopResult(hr);
    ComPtr<IXmlNode> node;
    hr = nodeList->Item(0, &node);
    if (checkFailed(QStringLiteral("nodeList->Item(0, &node)"), hr, node.Get()))
        return stopResult(hr);
    ComPtr<IXmlNamedNodeMap> attributes;
    hr = node->get_Attributes(&attributes);
    if (checkFailed(QStringLiteral("node->get_Attributes(&attributes)"), hr, attributes.Get()))
        return stopResult(hr);
    if (!audioPath.isEmpty()) {
        ComPtr<IXmlNode> editNode;
        hr = attributes->GetNamedItem(HstringWrapper(k_src, false).get(), &editNode);
        if (checkFailed(QStringLiteral("attributes->GetNamedItem(HstringWrapper(k_src, false).get(), &editNode)"), hr, editNode.Get()))
            return stopResult(hr);
        hr = setNodeStringValue(audioPath, editNode.Get(), xml);
        if (checkFailed(QStringLiteral("setNodeStringValue(audioPath, editNode.Get(), xml)"), hr))
            return hr;
    }
    if (!audioTypeString.isEmpty()) {
        ComPtr<IXmlNode> editNode;
        hr = attributes->GetNamedItem(HstringWrapper(audioTypeString, false).get(), &editNode);
        if (checkFailed(QStringLiteral("attributes->GetNamedItem(HstringWrapper(audioTypeString, false).get(), &editNode)"), hr, editNode.Get()))
            return stopResult(hr);
        hr = setNodeStringValue(QStringLiteral("true"), editNode.Get(), xml);
        if (checkFailed(QStringLiteral("setNodeStringValue(QString::fromStdWString(L\"true\"), editNode.Get(), xml)"), hr))
            return hr;
    }
    return hr;
}

HRESULT addDuration(IXmlDocument* xml, int durationType)
{
    logCall(builderPlace("addDuration"), QStringLiteral("begin type:%1").arg(durationType));
    BuilderExit exit("addDuration");
    if (!xml)
        return E_FAIL;
    if (durationType == 0) {
        logCall(builderPlace("addDuration"), QStringLiteral("system type"));
        return S_OK;
    }
    const QString durationString = durationType == 2 ? QString::fromWCharArray(k_long) : QStringLiteral("short");
    const HRESULT hr = addAttributeByTagName(xml, QString::fromWCharArray(k_toast), QString::fromWCharArray(k_duration), durationString);
    checkFailed(QStringLiteral("addAttributeByTagName(xml, \"toast\", \"duration\", durationString)"), hr);
    return hr;
}

HRESULT setImageField(IXmlDocument* xml, const ToastData& data)
{
    const QString place = builderPlace("setImageField");
    logCall(place, QStringLiteral("begin setImage"));
    if (!xml)
        return E_FAIL;
    if (!isImageTemplate(data.tostType())) {
        logCall(place, QStringLiteral("don't need set image"));
        return S_OK;
    }
    if (data.imagePath().size() > k_maxImagePath) {
        logCall(place, QStringLiteral("filePath size > MAX_PATH"));
        return E_FAIL;
    }
    const QString source = QStringLiteral("file:///") + data.imagePath();
    ComPtr<IXmlNodeList> nodeList;
    HRESULT hr = xml->GetElementsByTagName(HstringWrapper(k_image, false).get(), &nodeList);
    if (checkFailed(QStringLiteral("xml->GetElementsByTagName(HstringWrapper(k_image, false).get(), &nodeList)"), hr, nodeList.Get()))
        return stopResult(hr);
    ComPtr<IXmlNode> node;
    hr = nodeList->Item(0, &node);
    if (checkFailed(QStringLiteral("nodeList->Item(0, &node)"), hr, node.Get()))
        return stopResult(hr);
    if (!data.heroImagePath().isEmpty()) {
        logCall(place, QStringLiteral("is Toast Generic"));
        ComPtr<IXmlElement> imageElement;
        // Without the element view the logo placement is left out, silently.
        if (SUCCEEDED(node.As(&imageElement)) && imageElement) {
            hr = imageElement->SetAttribute(HstringWrapper(k_placement, false).get(), HstringWrapper(k_appLogoOverrige, false).get());
            if (checkFailed(QStringLiteral("imageElement->SetAttribute(HstringWrapper(k_placement, false).get(), HstringWrapper(k_appLogoOverrige, false).get())"), hr))
                return hr;
        }
    }
    ComPtr<IXmlNamedNodeMap> attributes;
    hr = node->get_Attributes(&attributes);
    if (checkFailed(QStringLiteral("node->get_Attributes(&attributes)"), hr, attributes.Get()))
        return stopResult(hr);
    ComPtr<IXmlNode> editNode;
    hr = attributes->GetNamedItem(HstringWrapper(k_src, false).get(), &editNode);
    if (checkFailed(QStringLiteral("attributes->GetNamedItem(HstringWrapper(k_src, false).get(), &editNode)"), hr, editNode.Get()))
        return stopResult(hr);
    // Its own lines record a failure; the image counts as set once its source was found.
    setNodeStringValue(source, editNode.Get(), xml);
    return hr;
}

bool heroImageSupported(const ToastData& data)
{
    if (!isImageTemplate(data.tostType()) || data.heroImagePath().isEmpty())
        return false;
    const QOperatingSystemVersion current = currentSystemVersion();
    return current.type() == QOperatingSystemVersion::Windows
        && current >= QOperatingSystemVersion(QOperatingSystemVersion::Windows, 10, 0, 14393);
}

HRESULT setHeroImage(IXmlDocument* xml, const ToastData& data)
{
    const QString place = builderPlace("setHeroImage");
    if (!xml)
        return E_FAIL;
    if (!heroImageSupported(data)) {
        logCall(place, QStringLiteral("no support feature"));
        return S_OK;
    }
    ComPtr<IXmlNodeList> nodeList;
    HRESULT hr = xml->GetElementsByTagName(HstringWrapper(k_binding, false).get(), &nodeList);
    if (checkFailed(QStringLiteral("xml->GetElementsByTagName(HstringWrapper(k_binding, false).get(), &nodeList)"), hr, nodeList.Get()))
        return stopResult(hr);
    UINT32 len = 0;
    hr = nodeList->get_Length(&len);
    if (checkFailed(QStringLiteral("nodeList->get_Length(&len)"), hr))
        return hr;
    if (len == 0)
        return E_FAIL;
    ComPtr<IXmlNode> bindingNode;
    hr = nodeList->Item(0, &bindingNode);
    if (checkFailed(QStringLiteral("nodeList->Item(0, &bindingNode)"), hr, bindingNode.Get()))
        return stopResult(hr);
    ComPtr<IXmlElement> imageElement;
    hr = xml->CreateElement(HstringWrapper(k_image, false).get(), &imageElement);
    if (checkFailed(QStringLiteral("xml->CreateElement(HstringWrapper(k_image, false).get(), &imageElement)"), hr, imageElement.Get()))
        return stopResult(hr);
    if (!data.isInlineImage()) {
        logCall(place, QStringLiteral(" not inline image"));
        hr = imageElement->SetAttribute(HstringWrapper(k_placement, false).get(), HstringWrapper(k_hero, false).get());
        if (checkFailed(QStringLiteral("imageElement->SetAttribute(HstringWrapper(k_placement, false).get(), HstringWrapper(k_hero, false).get())"), hr))
            return hr;
    }
    hr = imageElement->SetAttribute(HstringWrapper(k_src, false).get(), HstringWrapper(data.heroImagePath(), false).get());
    if (checkFailed(QStringLiteral("imageElement->SetAttribute(HstringWrapper(k_src, false).get(), HstringWrapper(data.heroImagePath(), false).get())"), hr))
        return hr;
    ComPtr<IXmlNode> actionNode;
    hr = imageElement.As(&actionNode);
    if (checkFailed(QStringLiteral("imageElement.As(&actionNode)"), hr, actionNode.Get()))
        return stopResult(hr);
    ComPtr<IXmlNode> appendChild;
    hr = bindingNode->AppendChild(actionNode.Get(), &appendChild);
    if (checkFailed(QStringLiteral("bindingNode->AppendChild(actionNode.Get(), &appendChild)"), hr, appendChild.Get()))
        return stopResult(hr);
    return hr;
}

} // namespace
