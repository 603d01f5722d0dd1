// GUIDs and interface ids, with the compile-time id lookup that __uuidof gives.
#pragma once

#include <cstdint>
#include <cstring>
#include <type_traits>

typedef struct _GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
} GUID;

typedef GUID IID;
typedef GUID CLSID;
typedef GUID FMTID;
typedef const GUID& REFGUID;
typedef const IID& REFIID;
typedef const CLSID& REFCLSID;
typedef const FMTID& REFFMTID;

inline bool IsEqualGUID(REFGUID a, REFGUID b)
{
    return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}
#define IsEqualIID(a, b) IsEqualGUID((a), (b))
#define IsEqualCLSID(a, b) IsEqualGUID((a), (b))

inline bool operator==(REFGUID a, REFGUID b) { return IsEqualGUID(a, b); }
inline bool operator!=(REFGUID a, REFGUID b) { return !IsEqualGUID(a, b); }

// Interface ids are attached to types with WINSIM_UUID (at global scope), which
// plays the part of the compiler's uuid attribute. A type without one does not
// compile with __uuidof, so a missing id is found at build time.
template <class T>
struct winsim_uuid;

#define WINSIM_UUID(Type, d1, d2, d3, b0, b1, b2, b3, b4, b5, b6, b7)                                \
    template <>                                                                                      \
    struct winsim_uuid<Type>                                                                         \
    {                                                                                                \
        static constexpr GUID value = {d1, d2, d3, {b0, b1, b2, b3, b4, b5, b6, b7}};                \
        static constexpr const char* name = #Type;                                                   \
    };

template <class T>
constexpr const GUID& winsim_uuidof()
{
    return winsim_uuid<std::remove_cv_t<std::remove_reference_t<T>>>::value;
}

// Accepts a type or an expression, as the compiler's operator does.
#ifndef __uuidof
#define __uuidof(x) (::winsim_uuidof<__typeof__(x)>())
#endif
