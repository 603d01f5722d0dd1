#pragma once

#include "xmlnodeobject_p.h"

namespace winsim {
namespace xml {

using ABI::Windows::Data::Xml::Dom::IXmlAttribute;
using ABI::Windows::Data::Xml::Dom::IXmlElement;

class XmlElement : public NodeObject<IXmlElement>
{
public:
    XmlElement(const QString& tagName, DocumentLinkPtr document);

    ComPtr<IXmlNode> clone(bool deep, const DocumentLinkPtr& document) override;

    HRESULT STDMETHODCALLTYPE get_TagName(HSTRING* value) override;
    // A missing attribute reads as the empty string.
    HRESULT STDMETHODCALLTYPE GetAttribute(HSTRING attributeName, HSTRING* attributeValue) override;
    HRESULT STDMETHODCALLTYPE SetAttribute(HSTRING attributeName, HSTRING attributeValue) override;
    HRESULT STDMETHODCALLTYPE RemoveAttribute(HSTRING attributeName) override;
    HRESULT STDMETHODCALLTYPE GetAttributeNode(HSTRING attributeName, IXmlAttribute** attributeNode) override;
    HRESULT STDMETHODCALLTYPE SetAttributeNode(IXmlAttribute* newAttribute, IXmlAttribute** previousAttribute) override;
    HRESULT STDMETHODCALLTYPE RemoveAttributeNode(IXmlAttribute* attributeNode, IXmlAttribute** removedAttribute) override;
    HRESULT STDMETHODCALLTYPE GetElementsByTagName(HSTRING tagName, IXmlNodeList** elements) override;
    // Namespaces are not simulated.
    HRESULT STDMETHODCALLTYPE SetAttributeNS(IInspectable*, HSTRING, HSTRING) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetAttributeNS(IInspectable*, HSTRING, HSTRING* value) override;
    HRESULT STDMETHODCALLTYPE RemoveAttributeNS(IInspectable*, HSTRING) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetAttributeNodeNS(IXmlAttribute*, IXmlAttribute** previous) override;
    HRESULT STDMETHODCALLTYPE GetAttributeNodeNS(IInspectable*, HSTRING, IXmlAttribute** previous) override;
};

ComPtr<IXmlNode> makeElementNode(const DocumentLinkPtr& document, const QString& tagName);

} // namespace xml
} // namespace winsim
