// Shell folders.
#pragma once

#include "shobjidl.h"

#define CSIDL_PROGRAMS 0x0002
#define CSIDL_STARTMENU 0x000b
#define CSIDL_COMMON_STARTMENU 0x0016
#define CSIDL_COMMON_PROGRAMS 0x0017
#define CSIDL_APPDATA 0x001a
#define CSIDL_LOCAL_APPDATA 0x001c
#define CSIDL_FLAG_CREATE 0x8000

typedef enum { SHGFP_TYPE_CURRENT = 0, SHGFP_TYPE_DEFAULT = 1 } SHGFP_TYPE;

// Fills pszPath (MAX_PATH characters) with the folder's path.
EXTERN_C WINSIM_API HRESULT WINAPI SHGetFolderPathW(HWND hwnd, int csidl, HANDLE hToken, DWORD dwFlags, LPWSTR pszPath);
