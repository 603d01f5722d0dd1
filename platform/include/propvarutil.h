// PROPVARIANT helpers. PropVariantToString lives in propsys.dll and is declared
// for its signature only: the module resolves it at run time.
#pragma once

#include "combaseapi.h"
#include "propidl.h"

#include <cstring>
#include <cwchar>

EXTERN_C HRESULT WINAPI PropVariantToString(REFPROPVARIANT propvar, PWSTR psz, UINT cch);

// A VT_LPWSTR copy of the text in task memory.
inline HRESULT InitPropVariantFromString(PCWSTR psz, PROPVARIANT* ppropvar)
{
    if (!ppropvar)
        return E_INVALIDARG;
    std::memset(ppropvar, 0, sizeof(*ppropvar));
    if (!psz)
        return E_INVALIDARG;
    const size_t bytes = (std::wcslen(psz) + 1) * sizeof(wchar_t);
    LPWSTR copy = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    if (!copy)
        return E_OUTOFMEMORY;
    std::memcpy(copy, psz, bytes);
    ppropvar->vt = VT_LPWSTR;
    ppropvar->pwszVal = copy;
    return S_OK;
}
