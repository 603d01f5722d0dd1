#include "hstringwrapper.h"

#include "winrtlibrary.h"

#include <winstring.h>

#include <cstring>

namespace {

using CreateStringFunction = decltype(&WindowsCreateString);
using CreateStringReferenceFunction = decltype(&WindowsCreateStringReference);
using GetStringRawBufferFunction = decltype(&WindowsGetStringRawBuffer);

} // namespace

HstringWrapper::HstringWrapper(const QString& str, bool owned)
    : m_text(str.toStdWString())
{
    make(owned);
}

HstringWrapper::HstringWrapper(const std::wstring& str, bool owned)
    : m_text(str)
{
    make(owned);
}

HstringWrapper::HstringWrapper(HSTRING handle)
    : m_handle(handle)
{
    std::memset(&m_header, 0, sizeof(m_header));
}

HstringWrapper::~HstringWrapper()
{
    if (m_release)
        m_release(m_handle);
}

// The creating call's result is not looked at: a string that could not be made
// stays null, which the platform reads as the empty string.
void HstringWrapper::make(bool owned)
{
    std::memset(&m_header, 0, sizeof(m_header));
    m_handle = nullptr;
    m_release = nullptr;
    const auto length = static_cast<UINT32>(m_text.size());
    if (!owned) {
        auto createReference = reinterpret_cast<CreateStringReferenceFunction>(
            resolveCombaseFunction("WindowsCreateStringReference"));
        if (createReference)
            createReference(m_text.c_str(), length, &m_header, &m_handle);
        return;
    }
    m_release = reinterpret_cast<DeleteStringFunction>(resolveCombaseFunction("WindowsDeleteString"));
    auto create = reinterpret_cast<CreateStringFunction>(resolveCombaseFunction("WindowsCreateString"));
    if (create)
        create(m_text.c_str(), length, &m_handle);
}

std::wstring HstringWrapper::toWString()
{
    if (m_text.empty()) {
        auto rawBuffer = reinterpret_cast<GetStringRawBufferFunction>(
            resolveCombaseFunction("WindowsGetStringRawBuffer"));
        if (rawBuffer) {
            const wchar_t* buffer = rawBuffer(m_handle, nullptr);
            if (buffer)
                m_text.assign(buffer); // up to the first NUL
        }
    }
    return m_text;
}
