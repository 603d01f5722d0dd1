#pragma once

#include <hstring.h>
#include <winerror.h>
#include <winstring.h>

#include <QString>

#include <string>

// A Windows Runtime string made from text, or a view of a handle the platform
// handed out. A reference string points into this object, so it is neither
// copyable nor movable.
class HstringWrapper
{
public:
    // owned false: a reference string, valid while the wrapper lives (no copy
    // by the platform). owned true: the platform copies the text.
    HstringWrapper(const QString& str, bool owned);
    HstringWrapper(const std::wstring& str, bool owned);
    // Does not take ownership of the handle.
    explicit HstringWrapper(HSTRING handle);
    ~HstringWrapper();

    HstringWrapper(const HstringWrapper&) = delete;
    HstringWrapper& operator=(const HstringWrapper&) = delete;
    HstringWrapper(HstringWrapper&&) = delete;
    HstringWrapper& operator=(HstringWrapper&&) = delete;

    HSTRING get() const { return m_handle; }
    std::wstring toWString();

private:
    // The declaration's type, calling convention included.
    using DeleteStringFunction = decltype(&WindowsDeleteString);

    void make(bool owned);

    std::wstring m_text;
    HSTRING m_handle = nullptr;
    HSTRING_HEADER m_header;
    DeleteStringFunction m_release = nullptr;
};
