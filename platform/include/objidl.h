// Persistent objects stored in files.
#pragma once

#include "combaseapi.h"
#include "unknwn.h"

struct IPersist : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE GetClassID(CLSID* pClassID) = 0;
};

struct IPersistFile : public IPersist
{
    // S_OK when there are unsaved changes, S_FALSE when not.
    virtual HRESULT STDMETHODCALLTYPE IsDirty() = 0;
    virtual HRESULT STDMETHODCALLTYPE Load(LPCWSTR pszFileName, DWORD dwMode) = 0;
    virtual HRESULT STDMETHODCALLTYPE Save(LPCWSTR pszFileName, BOOL fRemember) = 0;
    virtual HRESULT STDMETHODCALLTYPE SaveCompleted(LPCWSTR pszFileName) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCurFile(LPWSTR* ppszFileName) = 0;
};

WINSIM_UUID(IPersist, 0x0000010C, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46)
WINSIM_UUID(IPersistFile, 0x0000010B, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46)
