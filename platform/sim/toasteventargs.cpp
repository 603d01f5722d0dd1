#include "toasteventargs_p.h"

#include "hstring_p.h"

namespace winsim {

using namespace ABI::Windows::UI::Notifications;

HRESULT ToastActivatedEventArgs::get_Arguments(HSTRING* value)
{
    WINSIM_CALL("IToastActivatedEventArgs::get_Arguments", value);
    if (!value)
        return E_POINTER;
    *value = makeString(m_arguments);
    return S_OK;
}

HRESULT ToastDismissedEventArgs::get_Reason(ToastDismissalReason* value)
{
    WINSIM_CALL("IToastDismissedEventArgs::get_Reason", value);
    if (!value)
        return E_POINTER;
    *value = static_cast<ToastDismissalReason>(m_reason);
    return S_OK;
}

HRESULT ToastFailedEventArgs::get_ErrorCode(HRESULT* value)
{
    WINSIM_CALL("IToastFailedEventArgs::get_ErrorCode", value);
    if (!value)
        return E_POINTER;
    *value = m_errorCode;
    return S_OK;
}

} // namespace winsim
