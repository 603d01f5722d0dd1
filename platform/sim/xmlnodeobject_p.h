// IXmlNode and IXmlNodeSerializer, implemented once for every kind of node on
// top of NodeCore. Each call is named "IXmlNode::<method>" for fault injection.
#pragma once

#include "faults_p.h"
#include "hstring_p.h"
#include "simobject_p.h"
#include "xmlnodecore_p.h"
#include "xmlnodelist_p.h"

namespace winsim {
namespace xml {

using ABI::Windows::Data::Xml::Dom::IXmlNamedNodeMap;
using ABI::Windows::Data::Xml::Dom::IXmlNodeList;
using ABI::Windows::Data::Xml::Dom::IXmlNodeSerializer;

// The attribute map of an element (a live view), or null for other nodes.
HRESULT attributeMapOf(NodeCore* node, IXmlNamedNodeMap** value);
HRESULT ownerDocumentOf(NodeCore* node, IXmlDocument** value);

template <class... Extra>
class NodeObject : public SimObject<IXmlNode, IXmlNodeSerializer, Extra...>, public NodeCore
{
public:
    NodeObject(NodeType type, const QString& name, DocumentLinkPtr document)
        : NodeCore(type, name, std::move(document))
    {
    }

    IXmlNode* node() override { return static_cast<IXmlNode*>(this); }

    // Values are boxed IInspectable objects on Windows; the simulation does not box.
    HRESULT STDMETHODCALLTYPE get_NodeValue(IInspectable** value) override
    {
        WINSIM_CALL("IXmlNode::get_NodeValue", value);
        detail::clearOut(value);
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE put_NodeValue(IInspectable*) override
    {
        WINSIM_CALL("IXmlNode::put_NodeValue");
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_NodeType(NodeType* value) override
    {
        WINSIM_CALL("IXmlNode::get_NodeType", value);
        if (!value)
            return E_POINTER;
        *value = type();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_NodeName(HSTRING* value) override
    {
        WINSIM_CALL("IXmlNode::get_NodeName", value);
        if (!value)
            return E_POINTER;
        *value = makeString(name());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_ParentNode(IXmlNode** value) override
    {
        WINSIM_CALL("IXmlNode::get_ParentNode", value);
        return handOut(parent(), value);
    }
    HRESULT STDMETHODCALLTYPE get_ChildNodes(IXmlNodeList** value) override
    {
        WINSIM_CALL("IXmlNode::get_ChildNodes", value);
        return makeNodeList(children(), value);
    }
    HRESULT STDMETHODCALLTYPE get_FirstChild(IXmlNode** value) override
    {
        WINSIM_CALL("IXmlNode::get_FirstChild", value);
        return handOut(children().empty() ? nullptr : of(children().front().Get()), value);
    }
    HRESULT STDMETHODCALLTYPE get_LastChild(IXmlNode** value) override
    {
        WINSIM_CALL("IXmlNode::get_LastChild", value);
        return handOut(children().empty() ? nullptr : of(children().back().Get()), value);
    }
    HRESULT STDMETHODCALLTYPE get_PreviousSibling(IXmlNode** value) override
    {
        WINSIM_CALL("IXmlNode::get_PreviousSibling", value);
        return sibling(-1, value);
    }
    HRESULT STDMETHODCALLTYPE get_NextSibling(IXmlNode** value) override
    {
        WINSIM_CALL("IXmlNode::get_NextSibling", value);
        return sibling(1, value);
    }
    HRESULT STDMETHODCALLTYPE get_Attributes(IXmlNamedNodeMap** value) override
    {
        WINSIM_CALL("IXmlNode::get_Attributes", value);
        return attributeMapOf(this, value);
    }
    HRESULT STDMETHODCALLTYPE HasChildNodes(boolean* value) override
    {
        WINSIM_CALL("IXmlNode::HasChildNodes", value);
        if (!value)
            return E_POINTER;
        *value = children().empty() ? 0 : 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_OwnerDocument(IXmlDocument** value) override
    {
        WINSIM_CALL("IXmlNode::get_OwnerDocument", value);
        return ownerDocumentOf(this, value);
    }
    HRESULT STDMETHODCALLTYPE InsertBefore(IXmlNode* newChild, IXmlNode* referenceChild, IXmlNode** insertedChild) override
    {
        WINSIM_CALL("IXmlNode::InsertBefore", insertedChild);
        return insertBefore(newChild, referenceChild, insertedChild);
    }
    HRESULT STDMETHODCALLTYPE ReplaceChild(IXmlNode* newChild, IXmlNode* referenceChild, IXmlNode** previousChild) override
    {
        WINSIM_CALL("IXmlNode::ReplaceChild", previousChild);
        return replaceChild(newChild, referenceChild, previousChild);
    }
    HRESULT STDMETHODCALLTYPE RemoveChild(IXmlNode* childNode, IXmlNode** removedChild) override
    {
        WINSIM_CALL("IXmlNode::RemoveChild", removedChild);
        return removeChild(childNode, removedChild);
    }
    HRESULT STDMETHODCALLTYPE AppendChild(IXmlNode* newChild, IXmlNode** appendedChild) override
    {
        WINSIM_CALL("IXmlNode::AppendChild", appendedChild);
        return appendChild(newChild, appendedChild);
    }
    HRESULT STDMETHODCALLTYPE CloneNode(boolean deep, IXmlNode** newNode) override
    {
        WINSIM_CALL("IXmlNode::CloneNode", newNode);
        if (!newNode)
            return E_POINTER;
        *newNode = clone(deep != 0, document()).Detach();
        return *newNode ? S_OK : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_NamespaceUri(IInspectable** value) override { return notSimulated(value); }
    HRESULT STDMETHODCALLTYPE get_LocalName(IInspectable** value) override { return notSimulated(value); }
    HRESULT STDMETHODCALLTYPE get_Prefix(IInspectable** value) override { return notSimulated(value); }
    HRESULT STDMETHODCALLTYPE put_Prefix(IInspectable*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Normalize() override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE GetXml(HSTRING* outerXml) override
    {
        WINSIM_CALL("IXmlNodeSerializer::GetXml", outerXml);
        if (!outerXml)
            return E_POINTER;
        QString xml;
        serialize(&xml);
        *outerXml = makeString(xml);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_InnerText(HSTRING* value) override
    {
        WINSIM_CALL("IXmlNodeSerializer::get_InnerText", value);
        if (!value)
            return E_POINTER;
        *value = makeString(innerText());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_InnerText(HSTRING value) override
    {
        WINSIM_CALL("IXmlNodeSerializer::put_InnerText");
        setInnerText(toQString(value));
        return S_OK;
    }

protected:
    static HRESULT handOut(NodeCore* core, IXmlNode** value)
    {
        if (!value)
            return E_POINTER;
        *value = core ? core->node() : nullptr;
        if (*value)
            (*value)->AddRef();
        return S_OK;
    }
    static HRESULT notSimulated(IInspectable** value)
    {
        detail::clearOut(value);
        return E_NOTIMPL;
    }
};

} // namespace xml
} // namespace winsim
