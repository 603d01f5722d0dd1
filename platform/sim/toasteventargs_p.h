// Arguments of the three toast events.
#pragma once

#include "simobject_p.h"

#include <windows.ui.notifications.h>

#include <QString>

namespace winsim {

class ToastActivatedEventArgs : public SimObject<ABI::Windows::UI::Notifications::IToastActivatedEventArgs>
{
public:
    explicit ToastActivatedEventArgs(const QString& arguments) : m_arguments(arguments) {}
    // A new string each time; the caller deletes it.
    HRESULT STDMETHODCALLTYPE get_Arguments(HSTRING* value) override;

private:
    QString m_arguments;
};

class ToastDismissedEventArgs : public SimObject<ABI::Windows::UI::Notifications::IToastDismissedEventArgs>
{
public:
    explicit ToastDismissedEventArgs(int reason) : m_reason(reason) {}
    // Passes any value through, also those outside the enumeration.
    HRESULT STDMETHODCALLTYPE get_Reason(ABI::Windows::UI::Notifications::ToastDismissalReason* value) override;

private:
    int m_reason;
};

class ToastFailedEventArgs : public SimObject<ABI::Windows::UI::Notifications::IToastFailedEventArgs>
{
public:
    explicit ToastFailedEventArgs(HRESULT errorCode) : m_errorCode(errorCode) {}
    HRESULT STDMETHODCALLTYPE get_ErrorCode(HRESULT* value) override;

private:
    HRESULT m_errorCode;
};

} // namespace winsim
