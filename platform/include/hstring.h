// Handles of Windows Runtime strings.
#pragma once

#include "minwindef.h"

typedef struct HSTRING__* HSTRING;

// Storage for a reference ("fast-pass") string; the handle then points into it.
typedef struct HSTRING_HEADER {
    union {
        PVOID Reserved1;
        char Reserved2[24];
    } Reserved;
} HSTRING_HEADER;
