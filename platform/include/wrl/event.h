// Microsoft::WRL::Callback: a delegate object made from a function object.
#pragma once

#include "implements.h"

#include <tuple>
#include <type_traits>
#include <utility>

namespace Microsoft {
namespace WRL {
namespace Details {

template <class TMemberFunction>
struct InvokeArguments;
template <class C, class... A>
struct InvokeArguments<HRESULT (STDMETHODCALLTYPE C::*)(A...)>
{
    typedef std::tuple<A...> type;
};

template <class TDelegate, class TCallback, class TArguments>
class DelegateImpl;

template <class TDelegate, class TCallback, class... A>
class DelegateImpl<TDelegate, TCallback, std::tuple<A...>>
    : public RuntimeClass<RuntimeClassFlags<Delegate>, TDelegate>
{
public:
    explicit DelegateImpl(TCallback callback) : m_callback(std::move(callback)) {}

    HRESULT STDMETHODCALLTYPE Invoke(A... args) override { return m_callback(args...); }

private:
    TCallback m_callback;
};

} // namespace Details

template <class TDelegate, class TCallback>
ComPtr<TDelegate> Callback(TCallback&& callback)
{
    typedef typename Details::InvokeArguments<decltype(&TDelegate::Invoke)>::type Arguments;
    typedef Details::DelegateImpl<TDelegate, std::decay_t<TCallback>, Arguments> Impl;
    return Make<Impl>(std::forward<TCallback>(callback));
}

// A delegate that calls a member function of an object the caller keeps alive.
template <class TDelegate, class TObject, class... A>
ComPtr<TDelegate> Callback(TObject* object, HRESULT (TObject::*method)(A...))
{
    return Callback<TDelegate>([object, method](A... args) { return (object->*method)(args...); });
}

} // namespace WRL
} // namespace Microsoft
