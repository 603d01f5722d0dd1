// Result codes of the safe string functions.
#pragma once

#include "winerror.h"

#define STRSAFE_E_INSUFFICIENT_BUFFER ((HRESULT)0x8007007A)
