// Windows-shaped base declarations of the simulated platform.
#pragma once

#include "minwindef.h"
#include "winerror.h"
#include "guiddef.h"
#include "unknwn.h"
#include "combaseapi.h"

#define VER_PLATFORM_WIN32_NT 2

typedef struct _OSVERSIONINFOW {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    WCHAR szCSDVersion[128];
} RTL_OSVERSIONINFOW, *PRTL_OSVERSIONINFOW, OSVERSIONINFOW;

// The true version of the running system, as ntdll reports it (no manifest lies).
// Windows declares it in the driver kit's headers, not here; it is used only off Windows.
extern "C" WINSIM_API NTSTATUS NTAPI RtlGetVersion(PRTL_OSVERSIONINFOW lpVersionInformation);

// ---- user32: window placement -------------------------------------------------
#define HWND_TOP ((HWND)0)
#define HWND_BOTTOM ((HWND)1)
#define HWND_TOPMOST ((HWND)-1)
#define HWND_NOTOPMOST ((HWND)-2)
#define SWP_NOSIZE 0x0001
#define SWP_NOMOVE 0x0002
#define SWP_NOZORDER 0x0004
#define SWP_NOACTIVATE 0x0010
#define SWP_SHOWWINDOW 0x0040
#define SWP_HIDEWINDOW 0x0080

extern "C" WINSIM_API BOOL WINAPI SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags);

// ---- kernel32: the process heap ------------------------------------------------
extern "C" WINSIM_API HANDLE WINAPI GetProcessHeap();
// Coalesces free blocks and gives free pages back to the system. Answers the
// largest free block left, 0 on failure (or when nothing is free).
extern "C" WINSIM_API SIZE_T WINAPI HeapCompact(HANDLE hHeap, DWORD dwFlags);

// ---- kernel32: modules already loaded in the process -------------------------
typedef INT_PTR(WINAPI* FARPROC)();

// Finds a module the process has already loaded; never loads one.
extern "C" WINSIM_API HMODULE WINAPI GetModuleHandleW(LPCWSTR lpModuleName);
extern "C" WINSIM_API FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName);
