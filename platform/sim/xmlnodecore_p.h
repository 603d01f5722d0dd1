// The tree behind every simulated XML node. Children are held by reference;
// a node knows its parent and its element (for attributes) by plain pointer,
// cleared when that parent goes away, so the tree has no reference cycles.
#pragma once

#include <windows.data.xml.dom.h>
#include <wrl/client.h>

#include <QString>

#include <memory>
#include <vector>

namespace winsim {
namespace xml {

using ABI::Windows::Data::Xml::Dom::IXmlDocument;
using ABI::Windows::Data::Xml::Dom::IXmlNode;
using ABI::Windows::Data::Xml::Dom::NodeType;
using Microsoft::WRL::ComPtr;

class XmlDocument;

// Lets nodes reach their document without keeping it alive.
struct DocumentLink
{
    XmlDocument* document = nullptr;
};
using DocumentLinkPtr = std::shared_ptr<DocumentLink>;

using NodeVector = std::vector<ComPtr<IXmlNode>>;

class NodeCore
{
public:
    NodeCore(NodeType type, const QString& name, DocumentLinkPtr document);
    virtual ~NodeCore();

    // The node's own IXmlNode (no reference added).
    virtual IXmlNode* node() = 0;
    virtual ComPtr<IXmlNode> clone(bool deep, const DocumentLinkPtr& document) = 0;

    static NodeCore* of(IXmlNode* node);

    NodeType type() const { return m_type; }
    const QString& name() const { return m_name; }
    const DocumentLinkPtr& document() const { return m_document; }
    NodeCore* parent() const { return m_parent; }
    NodeCore* ownerElement() const { return m_ownerElement; }
    const NodeVector& children() const { return m_children; }
    const NodeVector& attributes() const { return m_attributes; }

    HRESULT appendChild(IXmlNode* newChild, IXmlNode** appended);
    HRESULT insertBefore(IXmlNode* newChild, IXmlNode* reference, IXmlNode** inserted);
    HRESULT replaceChild(IXmlNode* newChild, IXmlNode* reference, IXmlNode** previous);
    HRESULT removeChild(IXmlNode* child, IXmlNode** removed);
    HRESULT sibling(int step, IXmlNode** value);

    // Elements below this node in document order; "*" matches every element.
    NodeVector elementsByTagName(const QString& tagName) const;

    // Attributes (elements only).
    int attributeIndex(const QString& name) const;
    HRESULT setAttributeNode(IXmlNode* attribute, IXmlNode** previous);
    HRESULT removeAttributeAt(int index, IXmlNode** removed);
    void setAttributeValue(const QString& name, const QString& value);

    // Text of the node: its own data for text, its children's for the others.
    virtual QString innerText() const;
    virtual void setInnerText(const QString& text);
    // Outer XML as Windows writes it.
    virtual void serialize(QString* out) const;

    void setExplicitEndTag(bool explicitEndTag) { m_explicitEndTag = explicitEndTag; }

protected:
    void cloneChildrenInto(NodeCore* copy, bool deep, const DocumentLinkPtr& document) const;
    void replaceChildrenWithText(const QString& text);

private:
    bool canHold(const NodeCore* child) const;
    bool isSelfOrAncestor(const NodeCore* node) const;
    void detach();
    HRESULT adopt(IXmlNode* newChild, NodeCore** child);

    NodeType m_type;
    QString m_name;
    DocumentLinkPtr m_document;
    NodeCore* m_parent = nullptr;
    NodeCore* m_ownerElement = nullptr;
    NodeVector m_children;
    NodeVector m_attributes;
    bool m_explicitEndTag = false;
};

void appendEscapedText(QString* out, const QString& text);
void appendEscapedAttributeValue(QString* out, const QString& value);
// XML 1.0 names as the parser accepts them (no namespace rules).
bool isValidName(const QString& name);

} // namespace xml
} // namespace winsim
