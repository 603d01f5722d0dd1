// Stand-in of propsys.dll: property value conversion.
#include "../sim/entrypoints_p.h"

#include <propvarutil.h>

extern "C" __attribute__((visibility("default"))) HRESULT PropVariantToString(REFPROPVARIANT propvar, PWSTR psz, UINT cch)
{
    return winsim::entry::propVariantToString(propvar, psz, cch);
}
