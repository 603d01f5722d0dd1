#include "xmlattribute_p.h"

namespace winsim {
namespace xml {

using namespace ABI::Windows::Data::Xml::Dom;

XmlAttribute::XmlAttribute(const QString& name, DocumentLinkPtr document)
    : NodeObject(NodeType_AttributeNode, name, std::move(document))
{
}

ComPtr<IXmlNode> XmlAttribute::clone(bool deep, const DocumentLinkPtr& document)
{
    ComPtr<IXmlNode> copy = makeAttributeNode(document, name());
    cloneChildrenInto(of(copy.Get()), deep, document);
    return copy;
}

HRESULT XmlAttribute::get_Name(HSTRING* value)
{
    WINSIM_CALL("IXmlAttribute::get_Name", value);
    if (!value)
        return E_POINTER;
    *value = makeString(name());
    return S_OK;
}

HRESULT XmlAttribute::get_Specified(boolean* value)
{
    WINSIM_CALL("IXmlAttribute::get_Specified", value);
    if (!value)
        return E_POINTER;
    *value = 1; // no schema defaults: every attribute was set explicitly
    return S_OK;
}

HRESULT XmlAttribute::get_Value(HSTRING* value)
{
    WINSIM_CALL("IXmlAttribute::get_Value", value);
    if (!value)
        return E_POINTER;
    *value = makeString(innerText());
    return S_OK;
}

HRESULT XmlAttribute::put_Value(HSTRING value)
{
    WINSIM_CALL("IXmlAttribute::put_Value");
    setInnerText(toQString(value));
    return S_OK;
}

ComPtr<IXmlNode> makeAttributeNode(const DocumentLinkPtr& document, const QString& name)
{
    return Microsoft::WRL::Make<XmlAttribute>(name, document);
}

} // namespace xml
} // namespace winsim
