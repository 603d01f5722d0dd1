#include "xmlnodecore_p.h"

#include "xmlattribute_p.h"
#include "xmltext_p.h"

#include <algorithm>
#include <cstddef>

namespace winsim {
namespace xml {

using namespace ABI::Windows::Data::Xml::Dom;

NodeCore::NodeCore(NodeType type, const QString& name, DocumentLinkPtr document)
    : m_type(type)
    , m_name(name)
    , m_document(std::move(document))
{
}

NodeCore::~NodeCore()
{
    // Children and attributes may be held elsewhere and outlive this node.
    for (const ComPtr<IXmlNode>& child : m_children)
        of(child.Get())->m_parent = nullptr;
    for (const ComPtr<IXmlNode>& attribute : m_attributes)
        of(attribute.Get())->m_ownerElement = nullptr;
}

NodeCore* NodeCore::of(IXmlNode* node)
{
    if (!node)
        return nullptr;
    // A cross-cast through this many interfaces costs more than the rest of
    // a tree walk, and the tree is walked for every toast. Where the core
    // sits relative to the interface depends only on the node's class, which
    // the interface's vtable names: cast once per class and thread, then
    // reuse the offset. Foreign classes are remembered as such.
    struct KnownClass
    {
        const void* vtable;
        std::ptrdiff_t offset;
        bool ours;
    };
    constexpr int kKnownClasses = 8;
    thread_local KnownClass known[kKnownClasses];
    thread_local int count = 0;
    const void* vtable = *reinterpret_cast<const void* const*>(node);
    char* const at = reinterpret_cast<char*>(node);
    for (int i = 0; i < count; ++i) {
        if (known[i].vtable == vtable)
            return known[i].ours ? reinterpret_cast<NodeCore*>(at + known[i].offset) : nullptr;
    }
    NodeCore* core = dynamic_cast<NodeCore*>(node);
    if (count < kKnownClasses)
        known[count++] = {vtable, core ? reinterpret_cast<char*>(core) - at : 0, core != nullptr};
    return core;
}

bool NodeCore::canHold(const NodeCore* child) const
{
    switch (m_type) {
    case NodeType_DocumentNode:
        if (child->type() != NodeType_ElementNode)
            return false;
        // One document element; replacing it is done with ReplaceChild.
        return std::none_of(m_children.begin(), m_children.end(),
                            [](const ComPtr<IXmlNode>& c) { return of(c.Get())->type() == NodeType_ElementNode; });
    case NodeType_ElementNode:
        return child->type() == NodeType_ElementNode || child->type() == NodeType_TextNode;
    case NodeType_AttributeNode:
        // An attribute's value is made of text nodes; appending one extends it.
        return child->type() == NodeType_TextNode;
    default:
        return false;
    }
}

bool NodeCore::isSelfOrAncestor(const NodeCore* node) const
{
    for (const NodeCore* n = this; n; n = n->m_parent ? n->m_parent : n->m_ownerElement) {
        if (n == node)
            return true;
    }
    return false;
}

void NodeCore::detach()
{
    NodeCore* parent = m_parent;
    if (!parent)
        return;
    auto& siblings = parent->m_children;
    const auto found = std::find_if(siblings.begin(), siblings.end(),
                                    [this](const ComPtr<IXmlNode>& c) { return of(c.Get()) == this; });
    m_parent = nullptr;
    if (found != siblings.end())
        siblings.erase(found); // may release the last reference the tree held
}

// Checks a node that is to become a child here and takes it from its old place.
HRESULT NodeCore::adopt(IXmlNode* newChild, NodeCore** child)
{
    if (!newChild)
        return E_INVALIDARG;
    NodeCore* core = of(newChild);
    if (!core || core->m_document != m_document)
        return E_INVALIDARG; // foreign objects and nodes of another document
    if (core->m_ownerElement || !canHold(core) || isSelfOrAncestor(core))
        return E_INVALIDARG;
    ComPtr<IXmlNode> keep(newChild); // detaching may drop the tree's reference
    core->detach();
    *child = core;
    return S_OK;
}

HRESULT NodeCore::appendChild(IXmlNode* newChild, IXmlNode** appended)
{
    if (!appended)
        return E_POINTER;
    *appended = nullptr;
    NodeCore* child = nullptr;
    const HRESULT hr = adopt(newChild, &child);
    if (FAILED(hr))
        return hr;
    m_children.emplace_back(newChild);
    child->m_parent = this;
    newChild->AddRef();
    *appended = newChild;
    return S_OK;
}

HRESULT NodeCore::insertBefore(IXmlNode* newChild, IXmlNode* reference, IXmlNode** inserted)
{
    if (!inserted)
        return E_POINTER;
    *inserted = nullptr;
    if (!reference)
        return appendChild(newChild, inserted);
    if (newChild == reference)
        return E_INVALIDARG;
    NodeCore* referenceCore = of(reference);
    if (!referenceCore || referenceCore->m_parent != this)
        return E_INVALIDARG;
    NodeCore* child = nullptr;
    const HRESULT hr = adopt(newChild, &child);
    if (FAILED(hr))
        return hr;
    const auto at = std::find_if(m_children.begin(), m_children.end(),
                                 [reference](const ComPtr<IXmlNode>& c) { return c.Get() == reference; });
    m_children.emplace(at, newChild);
    child->m_parent = this;
    newChild->AddRef();
    *inserted = newChild;
    return S_OK;
}

HRESULT NodeCore::replaceChild(IXmlNode* newChild, IXmlNode* reference, IXmlNode** previous)
{
    if (!previous)
        return E_POINTER;
    *previous = nullptr;
    NodeCore* referenceCore = reference ? of(reference) : nullptr;
    if (!referenceCore || referenceCore->m_parent != this || !newChild)
        return E_INVALIDARG;
    if (newChild == reference) {
        reference->AddRef();
        *previous = reference;
        return S_OK;
    }
    ComPtr<IXmlNode> old(reference);
    const auto at = std::find_if(m_children.begin(), m_children.end(),
                                 [reference](const ComPtr<IXmlNode>& c) { return c.Get() == reference; });
    size_t index = static_cast<size_t>(at - m_children.begin());
    NodeCore* incoming = of(newChild);
    if (incoming && incoming->m_parent == this) {
        for (size_t i = 0; i < index; ++i) {
            if (m_children[i].Get() == newChild) {
                --index; // it leaves a place before the one it takes
                break;
            }
        }
    }
    // The document may swap its element: take the old one out before checking.
    m_children.erase(at);
    referenceCore->m_parent = nullptr;
    NodeCore* child = nullptr;
    const HRESULT hr = adopt(newChild, &child);
    if (FAILED(hr)) {
        m_children.insert(m_children.begin() + static_cast<std::ptrdiff_t>(index), old);
        referenceCore->m_parent = this;
        return hr;
    }
    const size_t position = std::min(index, m_children.size());
    m_children.insert(m_children.begin() + static_cast<std::ptrdiff_t>(position), ComPtr<IXmlNode>(newChild));
    child->m_parent = this;
    *previous = old.Detach();
    return S_OK;
}

HRESULT NodeCore::removeChild(IXmlNode* childNode, IXmlNode** removed)
{
    if (!removed)
        return E_POINTER;
    *removed = nullptr;
    NodeCore* child = childNode ? of(childNode) : nullptr;
    if (!child || child->m_parent != this)
        return E_INVALIDARG;
    ComPtr<IXmlNode> keep(childNode);
    child->detach();
    *removed = keep.Detach();
    return S_OK;
}

HRESULT NodeCore::sibling(int step, IXmlNode** value)
{
    if (!value)
        return E_POINTER;
    *value = nullptr;
    if (!m_parent)
        return S_OK;
    const NodeVector& siblings = m_parent->m_children;
    for (size_t i = 0; i < siblings.size(); ++i) {
        if (of(siblings[i].Get()) != this)
            continue;
        const long long next = static_cast<long long>(i) + step;
        if (next >= 0 && next < static_cast<long long>(siblings.size())) {
            *value = siblings[static_cast<size_t>(next)].Get();
            (*value)->AddRef();
        }
        break;
    }
    return S_OK;
}

NodeVector NodeCore::elementsByTagName(const QString& tagName) const
{
    NodeVector found;
    const bool any = tagName == QLatin1String("*");
    // Depth-first, document order.
    std::vector<const NodeCore*> stack;
    for (auto it = m_children.rbegin(); it != m_children.rend(); ++it)
        stack.push_back(of(it->Get()));
    while (!stack.empty()) {
        const NodeCore* current = stack.back();
        stack.pop_back();
        if (current->m_type != NodeType_ElementNode)
            continue;
        if (any || current->m_name == tagName)
            found.emplace_back(const_cast<NodeCore*>(current)->node());
        for (auto it = current->m_children.rbegin(); it != current->m_children.rend(); ++it)
            stack.push_back(of(it->Get()));
    }
    return found;
}

int NodeCore::attributeIndex(const QString& name) const
{
    for (size_t i = 0; i < m_attributes.size(); ++i) {
        if (of(m_attributes[i].Get())->m_name == name)
            return static_cast<int>(i);
    }
    return -1;
}

HRESULT NodeCore::setAttributeNode(IXmlNode* attribute, IXmlNode** previous)
{
    if (m_type != NodeType_ElementNode)
        return E_INVALIDARG;
    NodeCore* core = attribute ? of(attribute) : nullptr;
    if (!core || core->m_type != NodeType_AttributeNode || core->m_document != m_document)
        return E_INVALIDARG;
    if (core->m_ownerElement && core->m_ownerElement != this)
        return E_INVALIDARG; // in use by another element
    if (previous)
        *previous = nullptr;
    if (core->m_ownerElement == this)
        return S_OK;
    const int index = attributeIndex(core->m_name);
    if (index >= 0) {
        ComPtr<IXmlNode>& slot = m_attributes[static_cast<size_t>(index)];
        of(slot.Get())->m_ownerElement = nullptr;
        if (previous)
            *previous = slot.Detach();
        slot = attribute;
    } else {
        m_attributes.emplace_back(attribute);
    }
    core->m_ownerElement = this;
    return S_OK;
}

HRESULT NodeCore::removeAttributeAt(int index, IXmlNode** removed)
{
    if (removed)
        *removed = nullptr;
    if (index < 0 || index >= static_cast<int>(m_attributes.size()))
        return S_OK;
    ComPtr<IXmlNode> old = m_attributes[static_cast<size_t>(index)];
    m_attributes.erase(m_attributes.begin() + index);
    of(old.Get())->m_ownerElement = nullptr;
    if (removed)
        *removed = old.Detach();
    return S_OK;
}

void NodeCore::setAttributeValue(const QString& name, const QString& value)
{
    const int index = attributeIndex(name);
    if (index >= 0) {
        of(m_attributes[static_cast<size_t>(index)].Get())->replaceChildrenWithText(value);
        return;
    }
    ComPtr<IXmlNode> attribute = makeAttributeNode(m_document, name);
    of(attribute.Get())->replaceChildrenWithText(value);
    setAttributeNode(attribute.Get(), nullptr);
}

void NodeCore::replaceChildrenWithText(const QString& text)
{
    NodeVector old;
    old.swap(m_children);
    for (const ComPtr<IXmlNode>& child : old)
        of(child.Get())->m_parent = nullptr;
    if (text.isEmpty())
        return;
    ComPtr<IXmlNode> textNode = makeTextNode(m_document, text);
    of(textNode.Get())->m_parent = this;
    m_children.push_back(textNode);
}

QString NodeCore::innerText() const
{
    QString text;
    for (const ComPtr<IXmlNode>& child : m_children)
        text += of(child.Get())->innerText();
    return text;
}

void NodeCore::setInnerText(const QString& text)
{
    replaceChildrenWithText(text);
}

void NodeCore::serialize(QString* out) const
{
    switch (m_type) {
    case NodeType_DocumentNode:
        for (const ComPtr<IXmlNode>& child : m_children)
            of(child.Get())->serialize(out);
        return;
    case NodeType_AttributeNode:
        out->append(m_name);
        out->append(QLatin1String("=\""));
        appendEscapedAttributeValue(out, innerText());
        out->append(QLatin1Char('"'));
        return;
    case NodeType_ElementNode:
        break;
    default:
        return;
    }
    out->append(QLatin1Char('<'));
    out->append(m_name);
    for (const ComPtr<IXmlNode>& attribute : m_attributes) {
        out->append(QLatin1Char(' '));
        of(attribute.Get())->serialize(out);
    }
    if (m_children.empty() && !m_explicitEndTag) {
        out->append(QLatin1String("/>"));
        return;
    }
    out->append(QLatin1Char('>'));
    for (const ComPtr<IXmlNode>& child : m_children)
        of(child.Get())->serialize(out);
    out->append(QLatin1String("</"));
    out->append(m_name);
    out->append(QLatin1Char('>'));
}

void NodeCore::cloneChildrenInto(NodeCore* copy, bool deep, const DocumentLinkPtr& document) const
{
    copy->m_explicitEndTag = m_explicitEndTag;
    for (const ComPtr<IXmlNode>& attribute : m_attributes) {
        ComPtr<IXmlNode> attributeCopy = of(attribute.Get())->clone(true, document);
        copy->setAttributeNode(attributeCopy.Get(), nullptr);
    }
    // An attribute's text is its value, so it is copied even by a shallow clone.
    if (!deep && m_type != NodeType_AttributeNode)
        return;
    for (const ComPtr<IXmlNode>& child : m_children) {
        ComPtr<IXmlNode> childCopy = of(child.Get())->clone(true, document);
        of(childCopy.Get())->m_parent = copy;
        copy->m_children.push_back(childCopy);
    }
}

namespace {

// What a character is written as, or null when it is written as itself.
const char* textReference(ushort c)
{
    switch (c) {
    case '&': return "&amp;";
    case '<': return "&lt;";
    case '>': return "&gt;";
    default: return nullptr;
    }
}

const char* attributeReference(ushort c)
{
    switch (c) {
    case '"': return "&quot;";
    // Kept as references so that reading the document back gives the same value.
    case '\n': return "&#xA;";
    case '\r': return "&#xD;";
    case '\t': return "&#x9;";
    default: return textReference(c);
    }
}

// XML 1.0 holds no other control characters, no U+FFFE or U+FFFF and no
// lone surrogates, not even as references: a document written with one
// could not be read back.
bool isXmlCharacter(const QChar* c, const QChar* end)
{
    const ushort u = c->unicode();
    if (u < 0x20)
        return u == '\t' || u == '\n' || u == '\r';
    if (c->isHighSurrogate())
        return c + 1 != end && (c + 1)->isLowSurrogate();
    if (c->isLowSurrogate())
        return false; // the low half of a pair is stepped over with its high half
    return u != 0xFFFE && u != 0xFFFF;
}

// Copies the runs between references whole: most texts have none. A
// character XML cannot hold is written as U+FFFD rather than dropped, so
// that a reader sees something stood there and the words it parted stay apart.
void appendEscaped(QString* out, const QString& text, const char* (*reference)(ushort))
{
    const QChar* begin = text.constData();
    const QChar* run = begin;
    const QChar* const end = begin + text.size();
    for (const QChar* c = begin; c != end; ++c) {
        const char* replacement = reference(c->unicode());
        const bool allowed = replacement || isXmlCharacter(c, end);
        if (allowed && !replacement) {
            if (c->isHighSurrogate())
                ++c;
            continue;
        }
        out->append(run, int(c - run));
        if (replacement)
            out->append(QLatin1String(replacement));
        else
            out->append(QChar(QChar::ReplacementCharacter));
        run = c + 1;
    }
    out->append(run, int(end - run));
}

} // namespace

void appendEscapedText(QString* out, const QString& text)
{
    appendEscaped(out, text, &textReference);
}

void appendEscapedAttributeValue(QString* out, const QString& value)
{
    appendEscaped(out, value, &attributeReference);
}

bool isValidName(const QString& name)
{
    if (name.isEmpty())
        return false;
    for (int i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        const bool start = c.isLetter() || c == QLatin1Char('_') || c == QLatin1Char(':');
        const bool rest = start || c.isDigit() || c == QLatin1Char('-') || c == QLatin1Char('.')
            || c.unicode() == 0xB7;
        if (i == 0 ? !start : !rest)
            return false;
    }
    return true;
}

} // namespace xml
} // namespace winsim
