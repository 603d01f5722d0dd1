#pragma once

#include <QLibrary>
#include <QString>

// Windows system libraries are loaded by file name at run time, so the module
// still loads where they are missing. Loaded libraries are kept for the life of
// the process; entry points are looked up anew at every use.

// The loaded library of that name, or null when it cannot be loaded (a later
// call tries again).
QLibrary* loadCachedLibrary(const QString& fileName);

// The named entry point, or null when the library or the entry is missing.
QFunctionPointer resolveCombaseFunction(const char* name);
QFunctionPointer resolvePropsysFunction(const char* name);
QFunctionPointer resolveShell32Function(const char* name);

extern const wchar_t k_combaseDll[];
extern const wchar_t k_propsysDll[];
extern const wchar_t k_shell32Dll[];
