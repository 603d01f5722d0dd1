#pragma once

#include <minwindef.h>
#include <winerror.h>

namespace winsim {

HRESULT processAppUserModelId(PWSTR* appId);
HRESULT setProcessAppUserModelId(PCWSTR appId);

} // namespace winsim
