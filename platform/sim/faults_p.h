// Fault injection and the call trace: every simulated platform call passes
// through enterCall under its own name before it does anything.
#pragma once

#include <winerror.h>

#include <type_traits>

namespace winsim {
namespace detail {

struct CallDecision
{
    enum Outcome { Proceed, Fail, NullResult } outcome = Proceed;
    HRESULT result = S_OK;
};

CallDecision enterCall(const char* name);

template <class T>
void clearOut(T* out)
{
    if (out)
        *out = T{};
}
inline void clearOuts() {}
template <class T, class... Rest>
void clearOuts(T* out, Rest*... rest)
{
    clearOut(out);
    clearOuts(rest...);
}

} // namespace detail
} // namespace winsim

// First line of a simulated call: an injected fault returns from the call with
// its out-parameters cleared (a failure code, or S_OK with nothing handed out).
#define WINSIM_CALL(name, ...)                                                                       \
    do {                                                                                             \
        const ::winsim::detail::CallDecision winsimDecision = ::winsim::detail::enterCall(name);     \
        if (winsimDecision.outcome != ::winsim::detail::CallDecision::Proceed) {                     \
            ::winsim::detail::clearOuts(__VA_ARGS__);                                                \
            return winsimDecision.result;                                                            \
        }                                                                                            \
    } while (false)
