#pragma once

#include <propidl.h>

namespace winsim {

// PropVariantToString as documented: strings are copied, VT_EMPTY becomes "",
// numbers their decimal text; a too-small buffer gets a truncated, terminated
// copy and STRSAFE_E_INSUFFICIENT_BUFFER.
HRESULT convertToString(REFPROPVARIANT propvar, PWSTR psz, UINT cch);

} // namespace winsim
