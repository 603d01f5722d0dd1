// IXmlNamedNodeMap: the attributes of one element, read live.
#pragma once

#include "simobject_p.h"
#include "xmlnodecore_p.h"

namespace winsim {
namespace xml {

using ABI::Windows::Data::Xml::Dom::IXmlNamedNodeMap;

class XmlNamedNodeMap : public SimObject<IXmlNamedNodeMap>
{
public:
    explicit XmlNamedNodeMap(ComPtr<IXmlNode> element);

    HRESULT STDMETHODCALLTYPE get_Length(UINT32* value) override;
    HRESULT STDMETHODCALLTYPE Item(UINT32 index, IXmlNode** node) override;
    // A name not present: success with a null node.
    HRESULT STDMETHODCALLTYPE GetNamedItem(HSTRING name, IXmlNode** node) override;
    // Adds or replaces an attribute by name; hands back the node now in the map.
    HRESULT STDMETHODCALLTYPE SetNamedItem(IXmlNode* node, IXmlNode** previousNode) override;
    HRESULT STDMETHODCALLTYPE RemoveNamedItem(HSTRING name, IXmlNode** previousNode) override;
    // Namespaces are not simulated.
    HRESULT STDMETHODCALLTYPE GetNamedItemNS(IInspectable*, HSTRING, IXmlNode** node) override;
    HRESULT STDMETHODCALLTYPE RemoveNamedItemNS(IInspectable*, HSTRING, IXmlNode** previousNode) override;
    HRESULT STDMETHODCALLTYPE SetNamedItemNS(IXmlNode*, IXmlNode** previousNode) override;

private:
    NodeCore* element() const { return NodeCore::of(m_element.Get()); }

    ComPtr<IXmlNode> m_element;
};

} // namespace xml
} // namespace winsim
