#include "xmlnodelist_p.h"

namespace winsim {
namespace xml {

XmlNodeList::XmlNodeList(NodeVector nodes)
    : m_nodes(std::move(nodes))
{
}

HRESULT XmlNodeList::get_Length(UINT32* value)
{
    WINSIM_CALL("IXmlNodeList::get_Length", value);
    if (!value)
        return E_POINTER;
    *value = static_cast<UINT32>(m_nodes.size());
    return S_OK;
}

HRESULT XmlNodeList::Item(UINT32 index, IXmlNode** node)
{
    WINSIM_CALL("IXmlNodeList::Item", node);
    if (!node)
        return E_POINTER;
    *node = nullptr;
    if (index < m_nodes.size())
        *node = ComPtr<IXmlNode>(m_nodes[index]).Detach();
    return S_OK;
}

HRESULT makeNodeList(const NodeVector& nodes, IXmlNodeList** list)
{
    if (!list)
        return E_POINTER;
    *list = Microsoft::WRL::Make<XmlNodeList>(nodes).Detach();
    return *list ? S_OK : E_OUTOFMEMORY;
}

} // namespace xml
} // namespace winsim
