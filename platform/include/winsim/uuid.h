// What the compiler's uuid attribute and __uuidof give on Windows: interface
// ids attached to types with WINSIM_UUID (at global scope). A type without one
// does not compile with __uuidof, so a missing id is found at build time.
#pragma once

#include <type_traits>

struct _GUID;

namespace winsim {

template <class T>
struct InterfaceUuid;

template <class T>
constexpr const _GUID& uuidOf()
{
    return InterfaceUuid<std::remove_cv_t<std::remove_reference_t<T>>>::value;
}

} // namespace winsim

#define WINSIM_UUID(Type, d1, d2, d3, b0, b1, b2, b3, b4, b5, b6, b7)                                \
    template <>                                                                                      \
    struct winsim::InterfaceUuid<Type>                                                               \
    {                                                                                                \
        static constexpr _GUID value = {d1, d2, d3, {b0, b1, b2, b3, b4, b5, b6, b7}};               \
        static constexpr const char* name = #Type;                                                   \
    };

// The same for a type whose name has commas in it (an instance of a generic
// interface), given last.
#define WINSIM_UUID_LAST(d1, d2, d3, b0, b1, b2, b3, b4, b5, b6, b7, ...)                           \
    template <>                                                                                      \
    struct winsim::InterfaceUuid<__VA_ARGS__>                                                        \
    {                                                                                                \
        static constexpr _GUID value = {d1, d2, d3, {b0, b1, b2, b3, b4, b5, b6, b7}};               \
        static constexpr const char* name = #__VA_ARGS__;                                            \
    };

// Accepts a type or an expression, as the compiler's operator does.
#ifndef __uuidof
#define __uuidof(x) (::winsim::uuidOf<__typeof__(x)>())
#endif
