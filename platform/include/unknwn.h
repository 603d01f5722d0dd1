// The root COM interface.
#pragma once

#include "guiddef.h"
#include "minwindef.h"
#include "winerror.h"

struct IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;

    template <class Q>
    HRESULT STDMETHODCALLTYPE QueryInterface(Q** pp)
    {
        return QueryInterface(__uuidof(Q), reinterpret_cast<void**>(pp));
    }

protected:
    ~IUnknown() = default; // lifetime is Release's business
};
typedef IUnknown* LPUNKNOWN;

WINSIM_UUID(IUnknown, 0x00000000, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46)

template <class T>
void** IID_PPV_ARGS_Helper(T** pp)
{
    (void)static_cast<IUnknown*>(*pp); // T must be a COM interface
    return reinterpret_cast<void**>(pp);
}
#define IID_PPV_ARGS(ppType) __uuidof(**(ppType)), IID_PPV_ARGS_Helper(ppType)
