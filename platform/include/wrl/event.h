// Microsoft::WRL::Callback: a delegate object made from a function object.
#pragma once

#include "implements.h"
#include "../winsim/delegate.h"

#include <type_traits>
#include <utility>

namespace Microsoft {
namespace WRL {

template <class TDelegate, class TCallback>
ComPtr<TDelegate> Callback(TCallback&& callback)
{
    typedef typename winsim::wrl::InvokeArguments<decltype(&TDelegate::Invoke)>::type Arguments;
    typedef winsim::wrl::DelegateImpl<TDelegate, std::decay_t<TCallback>, Arguments> Impl;
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
