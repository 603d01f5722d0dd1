#pragma once

#include <unknwn.h>
#include <wrl/client.h>

namespace winsim {

// A new shell link object (CLSID_ShellLink), empty, with one reference.
Microsoft::WRL::ComPtr<IUnknown> makeShellLink();

} // namespace winsim
