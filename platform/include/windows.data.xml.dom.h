// Windows.Data.Xml.Dom: the XML document model toasts are written in.
#pragma once

#include "windows.foundation.h"

namespace ABI {
namespace Windows {
namespace Data {
namespace Xml {
namespace Dom {

enum NodeType {
    NodeType_Invalid = 0,
    NodeType_ElementNode = 1,
    NodeType_AttributeNode = 2,
    NodeType_TextNode = 3,
    NodeType_DataSectionNode = 4,
    NodeType_EntityReferenceNode = 5,
    NodeType_EntityNode = 6,
    NodeType_ProcessingInstructionNode = 7,
    NodeType_CommentNode = 8,
    NodeType_DocumentNode = 9,
    NodeType_DocumentTypeNode = 10,
    NodeType_DocumentFragmentNode = 11,
    NodeType_NotationNode = 12,
};

struct IXmlNode;
struct IXmlNodeList;
struct IXmlNamedNodeMap;
struct IXmlElement;
struct IXmlAttribute;
struct IXmlText;
struct IXmlDocument;
// Declared for the signatures that name them; the simulation does not make them.
struct IXmlDocumentType;
struct IXmlDomImplementation;
struct IXmlDocumentFragment;
struct IXmlComment;
struct IXmlProcessingInstruction;
struct IXmlEntityReference;
struct IXmlCDataSection;
struct IXmlLoadSettings;

struct IXmlNode : public IInspectable
{
    virtual HRESULT STDMETHODCALLTYPE get_NodeValue(IInspectable** value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_NodeValue(IInspectable* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_NodeType(NodeType* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_NodeName(HSTRING* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ParentNode(IXmlNode** value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ChildNodes(IXmlNodeList** value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_FirstChild(IXmlNode** value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_LastChild(IXmlNode** value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_PreviousSibling(IXmlNode** value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_NextSibling(IXmlNode** value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Attributes(IXmlNamedNodeMap** value) = 0;
    virtual HRESULT STDMETHODCALLTYPE HasChildNodes(boolean* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_OwnerDocument(IXmlDocument** value) = 0;
    virtual HRESULT STDMETHODCALLTYPE InsertBefore(IXmlNode* newChild, IXmlNode* referenceChild, IXmlNode** insertedChild) = 0;
    virtual HRESULT STDMETHODCALLTYPE ReplaceChild(IXmlNode* newChild, IXmlNode* referenceChild, IXmlNode** previousChild) = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveChild(IXmlNode* childNode, IXmlNode** removedChild) = 0;
    virtual HRESULT STDMETHODCALLTYPE AppendChild(IXmlNode* newChild, IXmlNode** appendedChild) = 0;
    virtual HRESULT STDMETHODCALLTYPE CloneNode(boolean deep, IXmlNode** newNode) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_NamespaceUri(IInspectable** value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_LocalName(IInspectable** value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Prefix(IInspectable** value) = 0;
    virtual HRESULT STDMETHODCALLTYPE Normalize() = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Prefix(IInspectable* value) = 0;
};

struct IXmlNodeList : public IInspectable
{
    virtual HRESULT STDMETHODCALLTYPE get_Length(UINT32* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE Item(UINT32 index, IXmlNode** node) = 0;
};

struct IXmlNamedNodeMap : public IInspectable
{
    virtual HRESULT STDMETHODCALLTYPE get_Length(UINT32* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE Item(UINT32 index, IXmlNode** node) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetNamedItem(HSTRING name, IXmlNode** node) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetNamedItem(IXmlNode* node, IXmlNode** previousNode) = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveNamedItem(HSTRING name, IXmlNode** previousNode) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetNamedItemNS(IInspectable* namespaceUri, HSTRING name, IXmlNode** node) = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveNamedItemNS(IInspectable* namespaceUri, HSTRING name, IXmlNode** previousNode) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetNamedItemNS(IXmlNode* node, IXmlNode** previousNode) = 0;
};

struct IXmlElement : public IInspectable
{
    virtual HRESULT STDMETHODCALLTYPE get_TagName(HSTRING* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetAttribute(HSTRING attributeName, HSTRING* attributeValue) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetAttribute(HSTRING attributeName, HSTRING attributeValue) = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveAttribute(HSTRING attributeName) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetAttributeNode(HSTRING attributeName, IXmlAttribute** attributeNode) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetAttributeNode(IXmlAttribute* newAttribute, IXmlAttribute** previousAttribute) = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveAttributeNode(IXmlAttribute* attributeNode, IXmlAttribute** removedAttribute) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetElementsByTagName(HSTRING tagName, IXmlNodeList** elements) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetAttributeNS(IInspectable* namespaceUri, HSTRING qualifiedName, HSTRING value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetAttributeNS(IInspectable* namespaceUri, HSTRING localName, HSTRING* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveAttributeNS(IInspectable* namespaceUri, HSTRING localName) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetAttributeNodeNS(IXmlAttribute* newAttribute, IXmlAttribute** previousAttribute) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetAttributeNodeNS(IInspectable* namespaceUri, HSTRING localName, IXmlAttribute** previousAttribute) = 0;
};

struct IXmlAttribute : public IInspectable
{
    virtual HRESULT STDMETHODCALLTYPE get_Name(HSTRING* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Specified(boolean* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Value(HSTRING* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Value(HSTRING value) = 0;
};

struct IXmlCharacterData : public IInspectable
{
    virtual HRESULT STDMETHODCALLTYPE get_Data(HSTRING* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Data(HSTRING value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Length(UINT32* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE SubstringData(UINT32 offset, UINT32 count, HSTRING* data) = 0;
    virtual HRESULT STDMETHODCALLTYPE AppendData(HSTRING data) = 0;
    virtual HRESULT STDMETHODCALLTYPE InsertData(UINT32 offset, HSTRING data) = 0;
    virtual HRESULT STDMETHODCALLTYPE DeleteData(UINT32 offset, UINT32 count) = 0;
    virtual HRESULT STDMETHODCALLTYPE ReplaceData(UINT32 offset, UINT32 count, HSTRING data) = 0;
};

struct IXmlText : public IInspectable
{
    virtual HRESULT STDMETHODCALLTYPE SplitText(UINT32 offset, IXmlText** secondPart) = 0;
};

struct IXmlNodeSerializer : public IInspectable
{
    virtual HRESULT STDMETHODCALLTYPE GetXml(HSTRING* outerXml) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_InnerText(HSTRING* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_InnerText(HSTRING value) = 0;
};

struct IXmlDocument : public IInspectable
{
    virtual HRESULT STDMETHODCALLTYPE get_Doctype(IXmlDocumentType** value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Implementation(IXmlDomImplementation** value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_DocumentElement(IXmlElement** value) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateElement(HSTRING tagName, IXmlElement** newElement) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateDocumentFragment(IXmlDocumentFragment** newDocumentFragment) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateTextNode(HSTRING data, IXmlText** newTextNode) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateComment(HSTRING data, IXmlComment** newComment) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateProcessingInstruction(HSTRING target, HSTRING data, IXmlProcessingInstruction** newProcessingInstruction) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateAttribute(HSTRING name, IXmlAttribute** newAttribute) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateEntityReference(HSTRING name, IXmlEntityReference** newEntityReference) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetElementsByTagName(HSTRING tagName, IXmlNodeList** elements) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateCDataSection(HSTRING data, IXmlCDataSection** newCDataSection) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_DocumentUri(HSTRING* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateAttributeNS(IInspectable* namespaceUri, HSTRING qualifiedName, IXmlAttribute** newAttribute) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateElementNS(IInspectable* namespaceUri, HSTRING qualifiedName, IXmlElement** newElement) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetElementById(HSTRING elementId, IXmlElement** element) = 0;
    virtual HRESULT STDMETHODCALLTYPE ImportNode(IXmlNode* node, boolean deep, IXmlNode** newNode) = 0;
};

struct IXmlDocumentIO : public IInspectable
{
    virtual HRESULT STDMETHODCALLTYPE LoadXml(HSTRING xml) = 0;
    virtual HRESULT STDMETHODCALLTYPE LoadXmlWithSettings(HSTRING xml, IXmlLoadSettings* loadSettings) = 0;
};

} // namespace Dom
} // namespace Xml
} // namespace Data
} // namespace Windows
} // namespace ABI

inline constexpr wchar_t RuntimeClass_Windows_Data_Xml_Dom_XmlDocument[] = L"Windows.Data.Xml.Dom.XmlDocument";

WINSIM_UUID(ABI::Windows::Data::Xml::Dom::IXmlNode, 0x1C741D59, 0x2122, 0x47D5, 0xA8, 0x56, 0x83, 0xF3, 0xD4, 0x21, 0x48, 0x75)
WINSIM_UUID(ABI::Windows::Data::Xml::Dom::IXmlNodeList, 0x8C60AD77, 0x83A4, 0x4EC1, 0x9C, 0x54, 0x7B, 0xA4, 0x29, 0xE1, 0x3D, 0xA6)
WINSIM_UUID(ABI::Windows::Data::Xml::Dom::IXmlNamedNodeMap, 0xB3A69EB0, 0xAAB0, 0x4B82, 0xA6, 0xFA, 0xB1, 0x45, 0x3F, 0x7C, 0x02, 0x1B)
WINSIM_UUID(ABI::Windows::Data::Xml::Dom::IXmlElement, 0x2DFB8A1F, 0x6B10, 0x4EF8, 0x9F, 0x83, 0xEF, 0xCC, 0xE8, 0xFA, 0xEC, 0x37)
WINSIM_UUID(ABI::Windows::Data::Xml::Dom::IXmlAttribute, 0xAC144AA4, 0xB4F1, 0x4DB6, 0xB2, 0x06, 0x8A, 0x22, 0xC3, 0x08, 0xDB, 0x0A)
WINSIM_UUID(ABI::Windows::Data::Xml::Dom::IXmlCharacterData, 0x132E42AB, 0x4E36, 0x4DF6, 0xB1, 0xC8, 0x0C, 0xE6, 0x2F, 0xD8, 0x8B, 0x26)
WINSIM_UUID(ABI::Windows::Data::Xml::Dom::IXmlText, 0xF931A4CB, 0x308D, 0x4760, 0xA1, 0xD5, 0x43, 0xB6, 0x74, 0x50, 0xAC, 0x7E)
WINSIM_UUID(ABI::Windows::Data::Xml::Dom::IXmlNodeSerializer, 0x5CC5B382, 0xE6DD, 0x4991, 0xAB, 0xEF, 0x06, 0xD8, 0xD2, 0xE7, 0xBD, 0x0C)
WINSIM_UUID(ABI::Windows::Data::Xml::Dom::IXmlDocument, 0xF7F3A506, 0x1E87, 0x42D6, 0xBC, 0xFB, 0xB8, 0xC8, 0x09, 0xFA, 0x54, 0x94)
WINSIM_UUID(ABI::Windows::Data::Xml::Dom::IXmlDocumentIO, 0x6CD0E74E, 0xEE65, 0x4489, 0x9E, 0xBF, 0xCA, 0x43, 0xE8, 0x7B, 0xA6, 0x37)
