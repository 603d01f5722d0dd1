#include "xmldocument_p.h"

#include "xmlattribute_p.h"
#include "xmlelement_p.h"
#include "xmltext_p.h"

#include <QXmlStreamReader>

namespace winsim {
namespace xml {

using namespace ABI::Windows::Data::Xml::Dom;

namespace {

// MSXML's answer to text that is not well-formed.
constexpr HRESULT k_xmlParseError = static_cast<HRESULT>(0xC00CE556);

template <class T>
HRESULT unsupported(T** value)
{
    detail::clearOut(value);
    return E_NOTIMPL;
}

template <class I>
HRESULT handOutAs(const ComPtr<IXmlNode>& node, I** value)
{
    *value = dynamic_cast<I*>(node.Get());
    if (!*value)
        return E_OUTOFMEMORY;
    (*value)->AddRef();
    return S_OK;
}

} // namespace

XmlDocument::XmlDocument()
    : NodeObject(NodeType_DocumentNode, QStringLiteral("#document"), std::make_shared<DocumentLink>())
{
    document()->document = this;
}

XmlDocument::~XmlDocument()
{
    document()->document = nullptr;
}

HRESULT ownerDocumentOf(NodeCore* node, IXmlDocument** value)
{
    if (!value)
        return E_POINTER;
    *value = nullptr;
    if (node->type() == NodeType_DocumentNode)
        return S_OK;
    if (XmlDocument* owner = node->document()->document) {
        *value = owner;
        owner->AddRef();
    }
    return S_OK;
}

ComPtr<IXmlNode> XmlDocument::clone(bool deep, const DocumentLinkPtr&)
{
    ComPtr<XmlDocument> copy = Microsoft::WRL::Make<XmlDocument>();
    if (copy && deep)
        cloneChildrenInto(copy.Get(), true, copy->document());
    return ComPtr<IXmlNode>(static_cast<IXmlNode*>(copy.Get()));
}

HRESULT XmlDocument::get_Doctype(IXmlDocumentType** value)
{
    return unsupported(value);
}

HRESULT XmlDocument::get_Implementation(IXmlDomImplementation** value)
{
    return unsupported(value);
}

HRESULT XmlDocument::get_DocumentElement(IXmlElement** value)
{
    WINSIM_CALL("IXmlDocument::get_DocumentElement", value);
    if (!value)
        return E_POINTER;
    *value = nullptr;
    for (const ComPtr<IXmlNode>& child : children()) {
        if (of(child.Get())->type() == NodeType_ElementNode)
            return handOutAs(child, value);
    }
    return S_OK;
}

HRESULT XmlDocument::CreateElement(HSTRING tagName, IXmlElement** newElement)
{
    WINSIM_CALL("IXmlDocument::CreateElement", newElement);
    if (!newElement)
        return E_POINTER;
    *newElement = nullptr;
    const QString name = toQString(tagName);
    if (!isValidName(name))
        return E_INVALIDARG;
    return handOutAs(makeElementNode(document(), name), newElement);
}

HRESULT XmlDocument::CreateDocumentFragment(IXmlDocumentFragment** value)
{
    return unsupported(value);
}

HRESULT XmlDocument::CreateTextNode(HSTRING data, IXmlText** newTextNode)
{
    WINSIM_CALL("IXmlDocument::CreateTextNode", newTextNode);
    if (!newTextNode)
        return E_POINTER;
    return handOutAs(makeTextNode(document(), toQString(data)), newTextNode);
}

HRESULT XmlDocument::CreateComment(HSTRING, IXmlComment** value)
{
    return unsupported(value);
}

HRESULT XmlDocument::CreateProcessingInstruction(HSTRING, HSTRING, IXmlProcessingInstruction** value)
{
    return unsupported(value);
}

HRESULT XmlDocument::CreateAttribute(HSTRING name, IXmlAttribute** newAttribute)
{
    WINSIM_CALL("IXmlDocument::CreateAttribute", newAttribute);
    if (!newAttribute)
        return E_POINTER;
    *newAttribute = nullptr;
    const QString attributeName = toQString(name);
    if (!isValidName(attributeName))
        return E_INVALIDARG;
    return handOutAs(makeAttributeNode(document(), attributeName), newAttribute);
}

HRESULT XmlDocument::CreateEntityReference(HSTRING, IXmlEntityReference** value)
{
    return unsupported(value);
}

HRESULT XmlDocument::GetElementsByTagName(HSTRING tagName, IXmlNodeList** elements)
{
    WINSIM_CALL("IXmlDocument::GetElementsByTagName", elements);
    return makeNodeList(elementsByTagName(toQString(tagName)), elements);
}

HRESULT XmlDocument::CreateCDataSection(HSTRING, IXmlCDataSection** value)
{
    return unsupported(value);
}

HRESULT XmlDocument::get_DocumentUri(HSTRING* value)
{
    WINSIM_CALL("IXmlDocument::get_DocumentUri", value);
    if (!value)
        return E_POINTER;
    *value = nullptr; // loaded from a string, not from a file
    return S_OK;
}

HRESULT XmlDocument::CreateAttributeNS(IInspectable*, HSTRING, IXmlAttribute** value)
{
    return unsupported(value);
}

HRESULT XmlDocument::CreateElementNS(IInspectable*, HSTRING, IXmlElement** value)
{
    return unsupported(value);
}

HRESULT XmlDocument::GetElementById(HSTRING, IXmlElement** element)
{
    WINSIM_CALL("IXmlDocument::GetElementById", element);
    if (!element)
        return E_POINTER;
    *element = nullptr; // without a DTD no attribute is of type ID
    return S_OK;
}

HRESULT XmlDocument::ImportNode(IXmlNode* node, boolean deep, IXmlNode** newNode)
{
    WINSIM_CALL("IXmlDocument::ImportNode", newNode);
    if (!newNode)
        return E_POINTER;
    *newNode = nullptr;
    NodeCore* core = node ? of(node) : nullptr;
    if (!core || core->type() == NodeType_DocumentNode)
        return E_INVALIDARG;
    *newNode = core->clone(deep != 0, document()).Detach();
    return S_OK;
}

HRESULT XmlDocument::LoadXml(HSTRING xml)
{
    WINSIM_CALL("IXmlDocumentIO::LoadXml");
    return loadXml(toQString(xml));
}

HRESULT XmlDocument::LoadXmlWithSettings(HSTRING xml, IXmlLoadSettings*)
{
    WINSIM_CALL("IXmlDocumentIO::LoadXmlWithSettings");
    return loadXml(toQString(xml));
}

HRESULT XmlDocument::loadXml(const QString& xml)
{
    // Parsed into a scratch document first so that bad text leaves this one as it was.
    ComPtr<XmlDocument> scratch = Microsoft::WRL::Make<XmlDocument>();
    if (!scratch)
        return E_OUTOFMEMORY;
    const HRESULT hr = scratch->parseInto(xml, scratch.Get());
    if (FAILED(hr))
        return hr;
    while (!children().empty()) {
        ComPtr<IXmlNode> removed;
        removeChild(children().front().Get(), &removed);
    }
    for (const ComPtr<IXmlNode>& child : scratch->children()) {
        ComPtr<IXmlNode> copy = of(child.Get())->clone(true, document());
        ComPtr<IXmlNode> appended;
        appendChild(copy.Get(), &appended);
    }
    return S_OK;
}

HRESULT XmlDocument::parseInto(const QString& xml, NodeCore* root)
{
    QXmlStreamReader reader(xml);
    std::vector<NodeCore*> open{root};
    std::vector<qint64> startOffsets;
    bool sawElement = false;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            ComPtr<IXmlNode> element = makeElementNode(document(), reader.qualifiedName().toString());
            NodeCore* core = of(element.Get());
            for (const QXmlStreamAttribute& attribute : reader.attributes())
                core->setAttributeValue(attribute.qualifiedName().toString(), attribute.value().toString());
            ComPtr<IXmlNode> appended;
            if (FAILED(open.back()->appendChild(element.Get(), &appended)))
                return k_xmlParseError;
            open.push_back(core);
            startOffsets.push_back(reader.characterOffset());
            sawElement = true;
            break;
        }
        case QXmlStreamReader::EndElement:
            // An empty "<a></a>" is written back with its end tag, "<a/>" as it was.
            open.back()->setExplicitEndTag(open.back()->children().empty()
                                           && reader.characterOffset() != startOffsets.back());
            open.pop_back();
            startOffsets.pop_back();
            break;
        case QXmlStreamReader::Characters: {
            if (reader.isWhitespace() && !reader.isCDATA())
                break;
            if (open.size() < 2)
                return k_xmlParseError; // text outside the document element
            ComPtr<IXmlNode> text = makeTextNode(document(), reader.text().toString());
            ComPtr<IXmlNode> appended;
            open.back()->appendChild(text.Get(), &appended);
            break;
        }
        default:
            break;
        }
    }
    if (reader.hasError() || !sawElement)
        return k_xmlParseError;
    return S_OK;
}

ComPtr<IXmlDocument> makeDocument()
{
    return Microsoft::WRL::Make<XmlDocument>();
}

} // namespace xml
} // namespace winsim
