// Stand-in of shell32.dll: the process's explicit application user model id.
#include "../sim/entrypoints_p.h"

#include <shobjidl.h>

#define SHELL32_EXPORT extern "C" __attribute__((visibility("default")))

SHELL32_EXPORT HRESULT GetCurrentProcessExplicitAppUserModelID(PWSTR* AppID)
{
    return winsim::entry::getCurrentProcessExplicitAppUserModelID(AppID);
}

SHELL32_EXPORT HRESULT SetCurrentProcessExplicitAppUserModelID(PCWSTR AppID)
{
    return winsim::entry::setCurrentProcessExplicitAppUserModelID(AppID);
}
