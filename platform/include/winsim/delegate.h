// The delegate object behind Microsoft::WRL::Callback in the simulation: it
// calls a function object with the arguments of the delegate's Invoke.
#pragma once

#include "../wrl/implements.h"

#include <tuple>
#include <utility>

namespace winsim {
namespace wrl {

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
    : public Microsoft::WRL::RuntimeClass<Microsoft::WRL::RuntimeClassFlags<Microsoft::WRL::Delegate>, TDelegate>
{
public:
    explicit DelegateImpl(TCallback callback) : m_callback(std::move(callback)) {}

    HRESULT STDMETHODCALLTYPE Invoke(A... args) override { return m_callback(args...); }

private:
    TCallback m_callback;
};

} // namespace wrl
} // namespace winsim
