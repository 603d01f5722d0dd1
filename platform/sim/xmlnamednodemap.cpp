#include "xmlnamednodemap_p.h"

#include "hstring_p.h"
#include "xmlnodeobject_p.h"

namespace winsim {
namespace xml {

using namespace ABI::Windows::Data::Xml::Dom;

XmlNamedNodeMap::XmlNamedNodeMap(ComPtr<IXmlNode> element)
    : m_element(std::move(element))
{
}

HRESULT XmlNamedNodeMap::get_Length(UINT32* value)
{
    WINSIM_CALL("IXmlNamedNodeMap::get_Length", value);
    if (!value)
        return E_POINTER;
    *value = static_cast<UINT32>(element()->attributes().size());
    return S_OK;
}

HRESULT XmlNamedNodeMap::Item(UINT32 index, IXmlNode** node)
{
    WINSIM_CALL("IXmlNamedNodeMap::Item", node);
    if (!node)
        return E_POINTER;
    *node = nullptr;
    const NodeVector& attributes = element()->attributes();
    if (index < attributes.size())
        *node = ComPtr<IXmlNode>(attributes[index]).Detach();
    return S_OK;
}

HRESULT XmlNamedNodeMap::GetNamedItem(HSTRING name, IXmlNode** node)
{
    WINSIM_CALL("IXmlNamedNodeMap::GetNamedItem", node);
    if (!node)
        return E_POINTER;
    *node = nullptr;
    const int index = element()->attributeIndex(toQString(name));
    if (index >= 0)
        *node = ComPtr<IXmlNode>(element()->attributes()[static_cast<size_t>(index)]).Detach();
    return S_OK;
}

HRESULT XmlNamedNodeMap::SetNamedItem(IXmlNode* node, IXmlNode** previousNode)
{
    WINSIM_CALL("IXmlNamedNodeMap::SetNamedItem", previousNode);
    if (!previousNode)
        return E_POINTER;
    *previousNode = nullptr;
    ComPtr<IXmlNode> replaced;
    const HRESULT hr = element()->setAttributeNode(node, &replaced);
    if (FAILED(hr))
        return hr;
    node->AddRef();
    *previousNode = node;
    return S_OK;
}

HRESULT XmlNamedNodeMap::RemoveNamedItem(HSTRING name, IXmlNode** previousNode)
{
    WINSIM_CALL("IXmlNamedNodeMap::RemoveNamedItem", previousNode);
    if (!previousNode)
        return E_POINTER;
    return element()->removeAttributeAt(element()->attributeIndex(toQString(name)), previousNode);
}

HRESULT XmlNamedNodeMap::GetNamedItemNS(IInspectable*, HSTRING, IXmlNode** node)
{
    detail::clearOut(node);
    return E_NOTIMPL;
}

HRESULT XmlNamedNodeMap::RemoveNamedItemNS(IInspectable*, HSTRING, IXmlNode** previousNode)
{
    detail::clearOut(previousNode);
    return E_NOTIMPL;
}

HRESULT XmlNamedNodeMap::SetNamedItemNS(IXmlNode*, IXmlNode** previousNode)
{
    detail::clearOut(previousNode);
    return E_NOTIMPL;
}

HRESULT attributeMapOf(NodeCore* node, IXmlNamedNodeMap** value)
{
    if (!value)
        return E_POINTER;
    *value = nullptr;
    if (node->type() != NodeType_ElementNode)
        return S_OK; // only elements have attributes
    *value = Microsoft::WRL::Make<XmlNamedNodeMap>(ComPtr<IXmlNode>(node->node())).Detach();
    return *value ? S_OK : E_OUTOFMEMORY;
}

} // namespace xml
} // namespace winsim
