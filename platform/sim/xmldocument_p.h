#pragma once

#include "xmlnodeobject_p.h"

namespace winsim {
namespace xml {

using ABI::Windows::Data::Xml::Dom::IXmlAttribute;
using ABI::Windows::Data::Xml::Dom::IXmlDocumentIO;
using ABI::Windows::Data::Xml::Dom::IXmlElement;
using ABI::Windows::Data::Xml::Dom::IXmlText;

class XmlDocument : public NodeObject<IXmlDocument, IXmlDocumentIO>
{
public:
    XmlDocument();
    ~XmlDocument() override;

    ComPtr<IXmlNode> clone(bool deep, const DocumentLinkPtr& document) override;

    HRESULT STDMETHODCALLTYPE get_Doctype(ABI::Windows::Data::Xml::Dom::IXmlDocumentType** value) override;
    HRESULT STDMETHODCALLTYPE get_Implementation(ABI::Windows::Data::Xml::Dom::IXmlDomImplementation** value) override;
    HRESULT STDMETHODCALLTYPE get_DocumentElement(IXmlElement** value) override;
    HRESULT STDMETHODCALLTYPE CreateElement(HSTRING tagName, IXmlElement** newElement) override;
    HRESULT STDMETHODCALLTYPE CreateDocumentFragment(ABI::Windows::Data::Xml::Dom::IXmlDocumentFragment** value) override;
    HRESULT STDMETHODCALLTYPE CreateTextNode(HSTRING data, IXmlText** newTextNode) override;
    HRESULT STDMETHODCALLTYPE CreateComment(HSTRING, ABI::Windows::Data::Xml::Dom::IXmlComment** value) override;
    HRESULT STDMETHODCALLTYPE CreateProcessingInstruction(HSTRING, HSTRING,
        ABI::Windows::Data::Xml::Dom::IXmlProcessingInstruction** value) override;
    HRESULT STDMETHODCALLTYPE CreateAttribute(HSTRING name, IXmlAttribute** newAttribute) override;
    HRESULT STDMETHODCALLTYPE CreateEntityReference(HSTRING, ABI::Windows::Data::Xml::Dom::IXmlEntityReference** value) override;
    HRESULT STDMETHODCALLTYPE GetElementsByTagName(HSTRING tagName, IXmlNodeList** elements) override;
    HRESULT STDMETHODCALLTYPE CreateCDataSection(HSTRING, ABI::Windows::Data::Xml::Dom::IXmlCDataSection** value) override;
    HRESULT STDMETHODCALLTYPE get_DocumentUri(HSTRING* value) override;
    HRESULT STDMETHODCALLTYPE CreateAttributeNS(IInspectable*, HSTRING, IXmlAttribute** value) override;
    HRESULT STDMETHODCALLTYPE CreateElementNS(IInspectable*, HSTRING, IXmlElement** value) override;
    HRESULT STDMETHODCALLTYPE GetElementById(HSTRING elementId, IXmlElement** element) override;
    HRESULT STDMETHODCALLTYPE ImportNode(IXmlNode* node, boolean deep, IXmlNode** newNode) override;

    // Replaces the content; whitespace-only text between elements is dropped,
    // comments and processing instructions are not kept.
    HRESULT STDMETHODCALLTYPE LoadXml(HSTRING xml) override;
    HRESULT STDMETHODCALLTYPE LoadXmlWithSettings(HSTRING xml, ABI::Windows::Data::Xml::Dom::IXmlLoadSettings*) override;

#ifdef _WIN32
    // Declared by the SDK only; files are not simulated.
    HRESULT STDMETHODCALLTYPE SaveToFileAsync(ABI::Windows::Storage::IStorageFile*,
                                              ABI::Windows::Foundation::IAsyncAction** asyncInfo) override
    {
        detail::clearOut(asyncInfo);
        return E_NOTIMPL;
    }
#endif

    HRESULT loadXml(const QString& xml);

private:
    HRESULT parseInto(const QString& xml, NodeCore* root);
};

ComPtr<IXmlDocument> makeDocument();

} // namespace xml
} // namespace winsim
