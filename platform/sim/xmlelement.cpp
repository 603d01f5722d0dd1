#include "xmlelement_p.h"

namespace winsim {
namespace xml {

using namespace ABI::Windows::Data::Xml::Dom;

namespace {

HRESULT attributeInterfaceOf(IXmlNode* node, IXmlAttribute** attribute)
{
    *attribute = nullptr;
    if (!node)
        return S_OK;
    // Inside the simulation: no fault injection on this query.
    *attribute = dynamic_cast<IXmlAttribute*>(node);
    (*attribute)->AddRef();
    return S_OK;
}

} // namespace

XmlElement::XmlElement(const QString& tagName, DocumentLinkPtr document)
    : NodeObject(NodeType_ElementNode, tagName, std::move(document))
{
}

ComPtr<IXmlNode> XmlElement::clone(bool deep, const DocumentLinkPtr& document)
{
    ComPtr<IXmlNode> copy = makeElementNode(document, name());
    cloneChildrenInto(of(copy.Get()), deep, document);
    return copy;
}

HRESULT XmlElement::get_TagName(HSTRING* value)
{
    WINSIM_CALL("IXmlElement::get_TagName", value);
    if (!value)
        return E_POINTER;
    *value = makeString(name());
    return S_OK;
}

HRESULT XmlElement::GetAttribute(HSTRING attributeName, HSTRING* attributeValue)
{
    WINSIM_CALL("IXmlElement::GetAttribute", attributeValue);
    if (!attributeValue)
        return E_POINTER;
    *attributeValue = nullptr;
    const int index = attributeIndex(toQString(attributeName));
    if (index >= 0)
        *attributeValue = makeString(of(attributes()[static_cast<size_t>(index)].Get())->innerText());
    return S_OK;
}

HRESULT XmlElement::SetAttribute(HSTRING attributeName, HSTRING attributeValue)
{
    WINSIM_CALL("IXmlElement::SetAttribute");
    const QString name = toQString(attributeName);
    if (!isValidName(name))
        return E_INVALIDARG;
    setAttributeValue(name, toQString(attributeValue));
    return S_OK;
}

HRESULT XmlElement::RemoveAttribute(HSTRING attributeName)
{
    WINSIM_CALL("IXmlElement::RemoveAttribute");
    return removeAttributeAt(attributeIndex(toQString(attributeName)), nullptr);
}

HRESULT XmlElement::GetAttributeNode(HSTRING attributeName, IXmlAttribute** attributeNode)
{
    WINSIM_CALL("IXmlElement::GetAttributeNode", attributeNode);
    if (!attributeNode)
        return E_POINTER;
    const int index = attributeIndex(toQString(attributeName));
    return attributeInterfaceOf(index >= 0 ? attributes()[static_cast<size_t>(index)].Get() : nullptr, attributeNode);
}

HRESULT XmlElement::SetAttributeNode(IXmlAttribute* newAttribute, IXmlAttribute** previousAttribute)
{
    WINSIM_CALL("IXmlElement::SetAttributeNode", previousAttribute);
    if (!previousAttribute)
        return E_POINTER;
    *previousAttribute = nullptr;
    auto* node = dynamic_cast<IXmlNode*>(newAttribute);
    ComPtr<IXmlNode> previous;
    const HRESULT hr = setAttributeNode(node, &previous);
    if (FAILED(hr))
        return hr;
    return attributeInterfaceOf(previous.Get(), previousAttribute);
}

HRESULT XmlElement::RemoveAttributeNode(IXmlAttribute* attributeNode, IXmlAttribute** removedAttribute)
{
    WINSIM_CALL("IXmlElement::RemoveAttributeNode", removedAttribute);
    if (!removedAttribute)
        return E_POINTER;
    *removedAttribute = nullptr;
    auto* node = dynamic_cast<IXmlNode*>(attributeNode);
    NodeCore* core = node ? of(node) : nullptr;
    if (!core || core->ownerElement() != this)
        return E_INVALIDARG;
    ComPtr<IXmlNode> removed;
    removeAttributeAt(attributeIndex(core->name()), &removed);
    return attributeInterfaceOf(removed.Get(), removedAttribute);
}

HRESULT XmlElement::GetElementsByTagName(HSTRING tagName, IXmlNodeList** elements)
{
    WINSIM_CALL("IXmlElement::GetElementsByTagName", elements);
    return makeNodeList(elementsByTagName(toQString(tagName)), elements);
}

HRESULT XmlElement::GetAttributeNS(IInspectable*, HSTRING, HSTRING* value)
{
    detail::clearOut(value);
    return E_NOTIMPL;
}

HRESULT XmlElement::SetAttributeNodeNS(IXmlAttribute*, IXmlAttribute** previous)
{
    detail::clearOut(previous);
    return E_NOTIMPL;
}

HRESULT XmlElement::GetAttributeNodeNS(IInspectable*, HSTRING, IXmlAttribute** previous)
{
    detail::clearOut(previous);
    return E_NOTIMPL;
}

ComPtr<IXmlNode> makeElementNode(const DocumentLinkPtr& document, const QString& tagName)
{
    return Microsoft::WRL::Make<XmlElement>(tagName, document);
}

} // namespace xml
} // namespace winsim
