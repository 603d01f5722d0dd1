// PROPVARIANT: the tagged value of the property system.
#pragma once

#include "guiddef.h"
#include "minwindef.h"
#include "winerror.h"

#include <cstring>

typedef unsigned short VARTYPE;
typedef short VARIANT_BOOL;
#define VARIANT_TRUE ((VARIANT_BOOL)-1)
#define VARIANT_FALSE ((VARIANT_BOOL)0)

enum VARENUM {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_BSTR = 8,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_I1 = 16,
    VT_UI1 = 17,
    VT_UI2 = 18,
    VT_UI4 = 19,
    VT_I8 = 20,
    VT_UI8 = 21,
    VT_INT = 22,
    VT_UINT = 23,
    VT_LPSTR = 30,
    VT_LPWSTR = 31,
    VT_FILETIME = 64,
    VT_CLSID = 72,
    VT_VECTOR = 0x1000,
};

typedef struct tagPROPVARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        CHAR cVal;
        BYTE bVal;
        SHORT iVal;
        USHORT uiVal;
        LONG lVal;
        ULONG ulVal;
        INT intVal;
        UINT uintVal;
        LARGE_INTEGER hVal;
        ULARGE_INTEGER uhVal;
        VARIANT_BOOL boolVal;
        HRESULT scode;
        FILETIME filetime;
        CLSID* puuid;
        LPSTR pszVal;
        LPWSTR pwszVal;
    };
} PROPVARIANT;
typedef const PROPVARIANT& REFPROPVARIANT;

#define PropVariantInit(pvar) ((void)std::memset((pvar), 0, sizeof(PROPVARIANT)))

// Frees what the value owns (strings through CoTaskMemFree) and leaves it VT_EMPTY.
EXTERN_C WINSIM_API HRESULT WINAPI PropVariantClear(PROPVARIANT* pvar);
EXTERN_C WINSIM_API HRESULT WINAPI PropVariantCopy(PROPVARIANT* dest, const PROPVARIANT* src);
