#include "xmltext_p.h"

namespace winsim {
namespace xml {

using namespace ABI::Windows::Data::Xml::Dom;

namespace {

// Offsets count characters of the text as the caller sees it.
bool inRange(const QString& data, UINT32 offset)
{
    return offset <= static_cast<UINT32>(data.size());
}

int countFrom(const QString& data, UINT32 offset, UINT32 count)
{
    const UINT32 left = static_cast<UINT32>(data.size()) - offset;
    return static_cast<int>(count < left ? count : left);
}

} // namespace

XmlText::XmlText(const QString& data, DocumentLinkPtr document)
    : NodeObject(NodeType_TextNode, QStringLiteral("#text"), std::move(document))
    , m_data(data)
{
}

ComPtr<IXmlNode> XmlText::clone(bool, const DocumentLinkPtr& document)
{
    return makeTextNode(document, m_data);
}

void XmlText::serialize(QString* out) const
{
    appendEscapedText(out, m_data);
}

HRESULT XmlText::SplitText(UINT32 offset, IXmlText** secondPart)
{
    WINSIM_CALL("IXmlText::SplitText", secondPart);
    if (!secondPart)
        return E_POINTER;
    *secondPart = nullptr;
    if (!inRange(m_data, offset))
        return E_INVALIDARG;
    ComPtr<IXmlNode> second = makeTextNode(document(), m_data.mid(static_cast<int>(offset)));
    m_data.truncate(static_cast<int>(offset));
    if (NodeCore* owner = parent()) {
        ComPtr<IXmlNode> next;
        sibling(1, &next);
        ComPtr<IXmlNode> inserted;
        const HRESULT hr = owner->insertBefore(second.Get(), next.Get(), &inserted);
        if (FAILED(hr))
            return hr;
    }
    *secondPart = dynamic_cast<IXmlText*>(second.Get());
    (*secondPart)->AddRef();
    return S_OK;
}

HRESULT XmlText::get_Data(HSTRING* value)
{
    WINSIM_CALL("IXmlCharacterData::get_Data", value);
    if (!value)
        return E_POINTER;
    *value = makeString(m_data);
    return S_OK;
}

HRESULT XmlText::put_Data(HSTRING value)
{
    WINSIM_CALL("IXmlCharacterData::put_Data");
    m_data = toQString(value);
    return S_OK;
}

HRESULT XmlText::get_Length(UINT32* value)
{
    WINSIM_CALL("IXmlCharacterData::get_Length", value);
    if (!value)
        return E_POINTER;
    *value = static_cast<UINT32>(m_data.size());
    return S_OK;
}

HRESULT XmlText::SubstringData(UINT32 offset, UINT32 count, HSTRING* data)
{
    WINSIM_CALL("IXmlCharacterData::SubstringData", data);
    if (!data)
        return E_POINTER;
    *data = nullptr;
    if (!inRange(m_data, offset))
        return E_INVALIDARG;
    *data = makeString(m_data.mid(static_cast<int>(offset), countFrom(m_data, offset, count)));
    return S_OK;
}

HRESULT XmlText::AppendData(HSTRING data)
{
    WINSIM_CALL("IXmlCharacterData::AppendData");
    m_data += toQString(data);
    return S_OK;
}

HRESULT XmlText::InsertData(UINT32 offset, HSTRING data)
{
    WINSIM_CALL("IXmlCharacterData::InsertData");
    if (!inRange(m_data, offset))
        return E_INVALIDARG;
    m_data.insert(static_cast<int>(offset), toQString(data));
    return S_OK;
}

HRESULT XmlText::DeleteData(UINT32 offset, UINT32 count)
{
    WINSIM_CALL("IXmlCharacterData::DeleteData");
    if (!inRange(m_data, offset))
        return E_INVALIDARG;
    m_data.remove(static_cast<int>(offset), countFrom(m_data, offset, count));
    return S_OK;
}

HRESULT XmlText::ReplaceData(UINT32 offset, UINT32 count, HSTRING data)
{
    WINSIM_CALL("IXmlCharacterData::ReplaceData");
    if (!inRange(m_data, offset))
        return E_INVALIDARG;
    m_data.replace(static_cast<int>(offset), countFrom(m_data, offset, count), toQString(data));
    return S_OK;
}

ComPtr<IXmlNode> makeTextNode(const DocumentLinkPtr& document, const QString& data)
{
    return Microsoft::WRL::Make<XmlText>(data, document);
}

} // namespace xml
} // namespace winsim
