#include "shelllink_p.h"

namespace winsim {

Microsoft::WRL::ComPtr<IUnknown> makeShellLink()
{
    return nullptr;
}

} // namespace winsim
