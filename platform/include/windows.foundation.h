// Windows.Foundation: the generic delegate and value-box interfaces.
#pragma once

#include "eventtoken.h"
#include "inspectable.h"

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
// A runtime class is named in generic interfaces together with its default
// interface; the interface is what methods pass (GetAbiType).
template <class T>
struct GetAbiType
{
    typedef T type;
};
template <class T>
struct GetLogicalType
{
    typedef T type;
};
template <class L, class A>
struct AggregateType
{
};
template <class L, class A>
struct GetAbiType<AggregateType<L, A>>
{
    typedef A type;
};
template <class L, class A>
struct GetLogicalType<AggregateType<L, A>>
{
    typedef L type;
};
} // namespace Internal

template <class TSender, class TArgs>
struct ITypedEventHandler_impl : public IUnknown
{
private:
    typedef typename Windows::Foundation::Internal::GetAbiType<TSender>::type TSender_abi;
    typedef typename Windows::Foundation::Internal::GetLogicalType<TSender>::type TSender_logical;
    typedef typename Windows::Foundation::Internal::GetAbiType<TArgs>::type TArgs_abi;
    typedef typename Windows::Foundation::Internal::GetLogicalType<TArgs>::type TArgs_logical;

public:
    typedef TSender TSender_complex;
    typedef TArgs TArgs_complex;
    virtual HRESULT STDMETHODCALLTYPE Invoke(TSender_abi sender, TArgs_abi args) = 0;
};

// Each instantiation the platform uses is specialised, with its id, where its
// type arguments are declared.
template <class TSender, class TArgs>
struct ITypedEventHandler : ITypedEventHandler_impl<TSender, TArgs>
{
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
