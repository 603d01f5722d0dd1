#pragma once

#include "xmlnodeobject_p.h"

namespace winsim {
namespace xml {

using ABI::Windows::Data::Xml::Dom::IXmlCharacterData;
using ABI::Windows::Data::Xml::Dom::IXmlText;

class XmlText : public NodeObject<IXmlText, IXmlCharacterData>
{
public:
    XmlText(const QString& data, DocumentLinkPtr document);

    ComPtr<IXmlNode> clone(bool deep, const DocumentLinkPtr& document) override;
    QString innerText() const override { return m_data; }
    void setInnerText(const QString& text) override { m_data = text; }
    void serialize(QString* out) const override;

    HRESULT STDMETHODCALLTYPE SplitText(UINT32 offset, IXmlText** secondPart) override;

    HRESULT STDMETHODCALLTYPE get_Data(HSTRING* value) override;
    HRESULT STDMETHODCALLTYPE put_Data(HSTRING value) override;
    HRESULT STDMETHODCALLTYPE get_Length(UINT32* value) override;
    HRESULT STDMETHODCALLTYPE SubstringData(UINT32 offset, UINT32 count, HSTRING* data) override;
    HRESULT STDMETHODCALLTYPE AppendData(HSTRING data) override;
    HRESULT STDMETHODCALLTYPE InsertData(UINT32 offset, HSTRING data) override;
    HRESULT STDMETHODCALLTYPE DeleteData(UINT32 offset, UINT32 count) override;
    HRESULT STDMETHODCALLTYPE ReplaceData(UINT32 offset, UINT32 count, HSTRING data) override;

private:
    QString m_data;
};

ComPtr<IXmlNode> makeTextNode(const DocumentLinkPtr& document, const QString& data);

} // namespace xml
} // namespace winsim
