// <windows.h> for the module's sources: MSVC's defines min/max macros that
// break std::numeric_limits<T>::max(), and the rarely used parts only slow
// the build.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
