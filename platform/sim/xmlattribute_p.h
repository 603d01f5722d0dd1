#pragma once

#include "xmlnodeobject_p.h"

namespace winsim {
namespace xml {

using ABI::Windows::Data::Xml::Dom::IXmlAttribute;

// An attribute's value is the text of its child text nodes.
class XmlAttribute : public NodeObject<IXmlAttribute>
{
public:
    XmlAttribute(const QString& name, DocumentLinkPtr document);

    ComPtr<IXmlNode> clone(bool deep, const DocumentLinkPtr& document) override;

    HRESULT STDMETHODCALLTYPE get_Name(HSTRING* value) override;
    HRESULT STDMETHODCALLTYPE get_Specified(boolean* value) override;
    HRESULT STDMETHODCALLTYPE get_Value(HSTRING* value) override;
    HRESULT STDMETHODCALLTYPE put_Value(HSTRING value) override;
};

ComPtr<IXmlNode> makeAttributeNode(const DocumentLinkPtr& document, const QString& name);

} // namespace xml
} // namespace winsim
