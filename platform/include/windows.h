// Windows-shaped base declarations of the simulated platform.
#pragma once

#include <cstdint>

typedef int32_t HRESULT;
typedef int32_t NTSTATUS;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef uint32_t DWORD;
typedef uint32_t UINT32;
typedef uint64_t UINT64;
typedef int32_t INT32;
typedef int BOOL;
typedef wchar_t WCHAR;
typedef const wchar_t* LPCWSTR;
typedef wchar_t* LPWSTR;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#define S_OK ((HRESULT)0)
#define S_FALSE ((HRESULT)1)
#define E_FAIL ((HRESULT)0x80004005)
#define E_NOINTERFACE ((HRESULT)0x80004002)
#define E_POINTER ((HRESULT)0x80004003)
#define E_INVALIDARG ((HRESULT)0x80070057)
#define E_OUTOFMEMORY ((HRESULT)0x8007000E)
#define E_NOTIMPL ((HRESULT)0x80004001)
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)

#define VER_PLATFORM_WIN32_NT 2

#ifndef WINSIM_API
#define WINSIM_API __attribute__((visibility("default")))
#endif

typedef struct _OSVERSIONINFOW {
    ULONG dwOSVersionInfoSize;
    ULONG dwMajorVersion;
    ULONG dwMinorVersion;
    ULONG dwBuildNumber;
    ULONG dwPlatformId;
    WCHAR szCSDVersion[128];
} RTL_OSVERSIONINFOW, *PRTL_OSVERSIONINFOW, OSVERSIONINFOW;

// The true version of the running system, as ntdll reports it (no manifest lies).
extern "C" WINSIM_API NTSTATUS RtlGetVersion(PRTL_OSVERSIONINFOW info);

// ---- user32: window placement -------------------------------------------------
typedef struct HWND__* HWND;
typedef unsigned int UINT;
#define HWND_TOP ((HWND)0)
#define HWND_BOTTOM ((HWND)1)
#define HWND_TOPMOST ((HWND)-1)
#define HWND_NOTOPMOST ((HWND)-2)
#define SWP_NOSIZE 0x0001
#define SWP_NOMOVE 0x0002
#define SWP_NOZORDER 0x0004
#define SWP_NOACTIVATE 0x0010
#define SWP_SHOWWINDOW 0x0040

extern "C" WINSIM_API BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags);

// ---- kernel32: modules already loaded in the process -------------------------
typedef struct HINSTANCE__* HMODULE;
typedef void (*FARPROC)();

// Finds a module the process has already loaded; never loads one.
extern "C" WINSIM_API HMODULE GetModuleHandleW(LPCWSTR lpModuleName);
extern "C" WINSIM_API FARPROC GetProcAddress(HMODULE hModule, const char* lpProcName);
