// Base types of the Windows API, sized as on 64-bit Windows where it matters
// (wchar_t stays the compiler's: 4 bytes here).
#pragma once

#include <cstddef>
#include <cstdint>

#include "winsim/api.h"

typedef int32_t HRESULT;
typedef int32_t NTSTATUS;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef uint32_t DWORD;
typedef uint16_t WORD;
typedef uint8_t BYTE;
typedef int16_t SHORT;
typedef uint16_t USHORT;
typedef int INT;
typedef unsigned int UINT;
typedef int32_t INT32;
typedef uint32_t UINT32;
typedef int64_t INT64;
typedef uint64_t UINT64;
typedef int64_t LONGLONG;
typedef uint64_t ULONGLONG;
typedef int64_t __int64;
typedef int BOOL;
typedef uint8_t BOOLEAN;
typedef unsigned char boolean; // the Windows Runtime's Boolean
typedef char CHAR;
typedef wchar_t WCHAR;
typedef const wchar_t* LPCWSTR;
typedef wchar_t* LPWSTR;
typedef const wchar_t* PCWSTR;
typedef wchar_t* PWSTR;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef void* PVOID;
typedef void* HANDLE;
typedef size_t SIZE_T;
typedef intptr_t INT_PTR;
typedef DWORD* LPDWORD;
typedef struct HWND__* HWND;
typedef struct HINSTANCE__* HMODULE;

typedef union _LARGE_INTEGER {
    struct {
        DWORD LowPart;
        LONG HighPart;
    };
    LONGLONG QuadPart;
} LARGE_INTEGER;

typedef union _ULARGE_INTEGER {
    struct {
        DWORD LowPart;
        DWORD HighPart;
    };
    ULONGLONG QuadPart;
} ULARGE_INTEGER;

// 100-nanosecond intervals since 1601-01-01 UTC.
typedef struct _FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
} FILETIME;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
#ifndef MAX_PATH
#define MAX_PATH 260
#endif

#define STDMETHODCALLTYPE
#define STDAPICALLTYPE
#define WINAPI
#define NTAPI
#define STDMETHOD(method) virtual HRESULT STDMETHODCALLTYPE method
#define STDMETHOD_(type, method) virtual type STDMETHODCALLTYPE method
#define IFACEMETHOD(method) STDMETHOD(method) override
#define IFACEMETHOD_(type, method) STDMETHOD_(type, method) override
#define IFACEMETHODIMP HRESULT STDMETHODCALLTYPE
#define IFACEMETHODIMP_(type) type STDMETHODCALLTYPE

#ifndef EXTERN_C
#define EXTERN_C extern "C"
#endif
