// Windows Runtime string functions. They live in combase.dll and are declared
// here for their signatures only: the module resolves them at run time.
#pragma once

#include "hstring.h"
#include "winerror.h"

EXTERN_C HRESULT WINAPI WindowsCreateString(PCWSTR sourceString, UINT32 length, HSTRING* string);
EXTERN_C HRESULT WINAPI WindowsCreateStringReference(PCWSTR sourceString, UINT32 length, HSTRING_HEADER* hstringHeader, HSTRING* string);
EXTERN_C HRESULT WINAPI WindowsDeleteString(HSTRING string);
EXTERN_C HRESULT WINAPI WindowsDuplicateString(HSTRING string, HSTRING* newString);
EXTERN_C PCWSTR WINAPI WindowsGetStringRawBuffer(HSTRING string, UINT32* length);
EXTERN_C UINT32 WINAPI WindowsGetStringLen(HSTRING string);
EXTERN_C BOOL WINAPI WindowsIsStringEmpty(HSTRING string);
