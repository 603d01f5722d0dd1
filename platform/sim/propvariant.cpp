// PROPVARIANT lifetime and conversion.
#include "propvariant_p.h"

#include <combaseapi.h>
#include <strsafe.h>

#include <cstring>
#include <cwchar>
#include <string>

namespace {

bool textOf(const PROPVARIANT& value, std::wstring* text)
{
    switch (value.vt) {
    case VT_EMPTY:
        text->clear();
        return true;
    case VT_LPWSTR:
        text->assign(value.pwszVal ? value.pwszVal : L"");
        return true;
    case VT_I2:
        *text = std::to_wstring(value.iVal);
        return true;
    case VT_UI2:
        *text = std::to_wstring(value.uiVal);
        return true;
    case VT_I4:
    case VT_INT:
        *text = std::to_wstring(value.lVal);
        return true;
    case VT_UI4:
    case VT_UINT:
        *text = std::to_wstring(value.ulVal);
        return true;
    case VT_I8:
        *text = std::to_wstring(value.hVal.QuadPart);
        return true;
    case VT_UI8:
        *text = std::to_wstring(value.uhVal.QuadPart);
        return true;
    default:
        return false;
    }
}

} // namespace

namespace winsim {

HRESULT convertToString(REFPROPVARIANT propvar, PWSTR psz, UINT cch)
{
    if (!psz || cch == 0)
        return E_INVALIDARG;
    psz[0] = L'\0';
    std::wstring text;
    if (!textOf(propvar, &text))
        return TYPE_E_TYPEMISMATCH;
    const size_t room = cch - 1;
    const size_t copied = text.size() < room ? text.size() : room;
    std::wmemcpy(psz, text.data(), copied);
    psz[copied] = L'\0';
    return copied < text.size() ? STRSAFE_E_INSUFFICIENT_BUFFER : S_OK;
}

} // namespace winsim

extern "C" HRESULT PropVariantClear(PROPVARIANT* pvar)
{
    if (!pvar)
        return S_OK;
    switch (pvar->vt) {
    case VT_LPWSTR:
        CoTaskMemFree(pvar->pwszVal);
        break;
    case VT_LPSTR:
        CoTaskMemFree(pvar->pszVal);
        break;
    case VT_CLSID:
        CoTaskMemFree(pvar->puuid);
        break;
    default:
        break;
    }
    std::memset(pvar, 0, sizeof(*pvar));
    return S_OK;
}

extern "C" HRESULT PropVariantCopy(PROPVARIANT* dest, const PROPVARIANT* src)
{
    if (!dest || !src)
        return E_INVALIDARG;
    PROPVARIANT copy = *src;
    if (src->vt == VT_LPWSTR && src->pwszVal) {
        const size_t bytes = (std::wcslen(src->pwszVal) + 1) * sizeof(wchar_t);
        copy.pwszVal = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
        if (!copy.pwszVal)
            return E_OUTOFMEMORY;
        std::memcpy(copy.pwszVal, src->pwszVal, bytes);
    } else if (src->vt == VT_LPSTR || src->vt == VT_CLSID || (src->vt & VT_VECTOR)) {
        return E_NOTIMPL; // the simulation's property stores hold strings and numbers only
    }
    *dest = copy;
    return S_OK;
}
