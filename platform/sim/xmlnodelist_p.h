// IXmlNodeList: a snapshot of nodes taken when the list was asked for.
#pragma once

#include "simobject_p.h"
#include "xmlnodecore_p.h"

namespace winsim {
namespace xml {

using ABI::Windows::Data::Xml::Dom::IXmlNodeList;

class XmlNodeList : public SimObject<IXmlNodeList>
{
public:
    explicit XmlNodeList(NodeVector nodes);

    HRESULT STDMETHODCALLTYPE get_Length(UINT32* value) override;
    // Past the end: success with a null node, as Windows answers.
    HRESULT STDMETHODCALLTYPE Item(UINT32 index, IXmlNode** node) override;

private:
    NodeVector m_nodes;
};

HRESULT makeNodeList(const NodeVector& nodes, IXmlNodeList** list);

} // namespace xml
} // namespace winsim
