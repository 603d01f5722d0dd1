// The base interface of every Windows Runtime interface.
#pragma once

#include "hstring.h"
#include "unknwn.h"

enum TrustLevel { BaseTrust = 0, PartialTrust = 1, FullTrust = 2 };

struct IInspectable : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE GetIids(ULONG* iidCount, IID** iids) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRuntimeClassName(HSTRING* className) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetTrustLevel(TrustLevel* trustLevel) = 0;
};

WINSIM_UUID(IInspectable, 0xAF86E2E0, 0xB12D, 0x4C6A, 0x9C, 0x5A, 0xD7, 0xAA, 0x65, 0x10, 0x1E, 0x90)
