// Windows.Foundation: the generic delegate and value-box interfaces.
#pragma once

#include "eventtoken.h"
#include "winrtbase.h"

namespace ABI {
namespace Windows {
namespace Foundation {

struct DateTime {
    INT64 UniversalTime; // 100 ns ticks since 1601-01-01 UTC
};
struct TimeSpan {
    INT64 Duration;
};

namespace Internal {
// A runtime class names its default interface in delegate signatures:
// ITypedEventHandler<ToastNotification*, ...> is invoked with IToastNotification*.
template <class T>
struct GetAbiType
{
    typedef T type;
};
} // namespace Internal

template <class TSender, class TArgs>
struct ITypedEventHandler : public IUnknown
{
    typedef typename Internal::GetAbiType<TSender>::type SenderAbi;
    typedef typename Internal::GetAbiType<TArgs>::type ArgsAbi;
    virtual HRESULT STDMETHODCALLTYPE Invoke(SenderAbi sender, ArgsAbi args) = 0;
};

template <class T>
struct IReference : public IInspectable
{
    virtual HRESULT STDMETHODCALLTYPE get_Value(T* value) = 0;
};

} // namespace Foundation
} // namespace Windows
} // namespace ABI

WINSIM_UUID(ABI::Windows::Foundation::IReference<ABI::Windows::Foundation::DateTime>,
            0x5541D8A7, 0x497C, 0x5AA4, 0x86, 0xFC, 0x77, 0x13, 0xAD, 0xBF, 0x2A, 0x2C)
