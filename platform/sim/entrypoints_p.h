// What the stand-ins of combase.dll, propsys.dll and shell32.dll export,
// implemented in the simulation core. Each goes through fault injection under
// its Windows name.
#pragma once

#include <inspectable.h>
#include <propidl.h>

#include <winsim/api.h>

namespace winsim {
namespace entry {

WINSIM_API HRESULT windowsCreateString(PCWSTR source, UINT32 length, HSTRING* string);
WINSIM_API HRESULT windowsCreateStringReference(PCWSTR source, UINT32 length, HSTRING_HEADER* header, HSTRING* string);
WINSIM_API HRESULT windowsDeleteString(HSTRING string);
WINSIM_API HRESULT windowsDuplicateString(HSTRING string, HSTRING* copy);
WINSIM_API PCWSTR windowsGetStringRawBuffer(HSTRING string, UINT32* length);
WINSIM_API HRESULT roGetActivationFactory(HSTRING classId, REFIID iid, void** factory);
WINSIM_API HRESULT roActivateInstance(HSTRING classId, IInspectable** instance);
WINSIM_API HRESULT propVariantToString(REFPROPVARIANT propvar, PWSTR psz, UINT cch);
WINSIM_API HRESULT getCurrentProcessExplicitAppUserModelID(PWSTR* appId);
WINSIM_API HRESULT setCurrentProcessExplicitAppUserModelID(PCWSTR appId);

} // namespace entry
} // namespace winsim
