// Windows.UI.Notifications: toast manager, notifier, notifications and their events.
#pragma once

#include "windows.data.xml.dom.h"
#include "windows.foundation.h"

namespace ABI {
namespace Windows {
namespace Foundation {
namespace Collections {
template <class T>
struct IVectorView;
} // namespace Collections
} // namespace Foundation

namespace UI {
namespace Notifications {

enum ToastTemplateType : int {
    ToastTemplateType_ToastImageAndText01 = 0,
    ToastTemplateType_ToastImageAndText02 = 1,
    ToastTemplateType_ToastImageAndText03 = 2,
    ToastTemplateType_ToastImageAndText04 = 3,
    ToastTemplateType_ToastText01 = 4,
    ToastTemplateType_ToastText02 = 5,
    ToastTemplateType_ToastText03 = 6,
    ToastTemplateType_ToastText04 = 7,
};

enum ToastDismissalReason : int {
    ToastDismissalReason_UserCanceled = 0,
    ToastDismissalReason_ApplicationHidden = 1,
    ToastDismissalReason_TimedOut = 2,
};

enum NotificationSetting : int {
    NotificationSetting_Enabled = 0,
    NotificationSetting_DisabledForApplication = 1,
    NotificationSetting_DisabledForUser = 2,
    NotificationSetting_DisabledByGroupPolicy = 3,
    NotificationSetting_DisabledByManifest = 4,
};

// Runtime classes; delegates name them, and are invoked with their default interfaces.
class ToastNotification;
class ToastDismissedEventArgs;
class ToastFailedEventArgs;
class ScheduledToastNotification;

struct IToastNotification;
struct IToastDismissedEventArgs;
struct IToastFailedEventArgs;
struct IScheduledToastNotification;

} // namespace Notifications
} // namespace UI

namespace Foundation {
template <>
struct ITypedEventHandler<UI::Notifications::ToastNotification*, IInspectable*>
    : ITypedEventHandler_impl<Internal::AggregateType<UI::Notifications::ToastNotification*, UI::Notifications::IToastNotification*>,
                              IInspectable*>
{
};
template <>
struct ITypedEventHandler<UI::Notifications::ToastNotification*, UI::Notifications::ToastDismissedEventArgs*>
    : ITypedEventHandler_impl<Internal::AggregateType<UI::Notifications::ToastNotification*, UI::Notifications::IToastNotification*>,
                              Internal::AggregateType<UI::Notifications::ToastDismissedEventArgs*,
                                                      UI::Notifications::IToastDismissedEventArgs*>>
{
};
template <>
struct ITypedEventHandler<UI::Notifications::ToastNotification*, UI::Notifications::ToastFailedEventArgs*>
    : ITypedEventHandler_impl<Internal::AggregateType<UI::Notifications::ToastNotification*, UI::Notifications::IToastNotification*>,
                              Internal::AggregateType<UI::Notifications::ToastFailedEventArgs*,
                                                      UI::Notifications::IToastFailedEventArgs*>>
{
};
} // namespace Foundation

namespace UI {
namespace Notifications {

struct IToastNotification : public IInspectable
{
    virtual HRESULT STDMETHODCALLTYPE get_Content(Data::Xml::Dom::IXmlDocument** value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_ExpirationTime(Foundation::IReference<Foundation::DateTime>* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ExpirationTime(Foundation::IReference<Foundation::DateTime>** value) = 0;
    virtual HRESULT STDMETHODCALLTYPE add_Dismissed(Foundation::ITypedEventHandler<ToastNotification*, ToastDismissedEventArgs*>* handler, EventRegistrationToken* cookie) = 0;
    virtual HRESULT STDMETHODCALLTYPE remove_Dismissed(EventRegistrationToken cookie) = 0;
    virtual HRESULT STDMETHODCALLTYPE add_Activated(Foundation::ITypedEventHandler<ToastNotification*, IInspectable*>* handler, EventRegistrationToken* cookie) = 0;
    virtual HRESULT STDMETHODCALLTYPE remove_Activated(EventRegistrationToken cookie) = 0;
    virtual HRESULT STDMETHODCALLTYPE add_Failed(Foundation::ITypedEventHandler<ToastNotification*, ToastFailedEventArgs*>* handler, EventRegistrationToken* cookie) = 0;
    virtual HRESULT STDMETHODCALLTYPE remove_Failed(EventRegistrationToken cookie) = 0;
};

struct IToastActivatedEventArgs : public IInspectable
{
    virtual HRESULT STDMETHODCALLTYPE get_Arguments(HSTRING* value) = 0;
};

struct IToastDismissedEventArgs : public IInspectable
{
    virtual HRESULT STDMETHODCALLTYPE get_Reason(ToastDismissalReason* value) = 0;
};

struct IToastFailedEventArgs : public IInspectable
{
    virtual HRESULT STDMETHODCALLTYPE get_ErrorCode(HRESULT* value) = 0;
};

struct IToastNotifier : public IInspectable
{
    virtual HRESULT STDMETHODCALLTYPE Show(IToastNotification* notification) = 0;
    virtual HRESULT STDMETHODCALLTYPE Hide(IToastNotification* notification) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Setting(NotificationSetting* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddToSchedule(IScheduledToastNotification* scheduledToast) = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveFromSchedule(IScheduledToastNotification* scheduledToast) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetScheduledToastNotifications(
        Foundation::Collections::IVectorView<ScheduledToastNotification*>** scheduledToasts) = 0;
};

struct IToastNotificationFactory : public IInspectable
{
    virtual HRESULT STDMETHODCALLTYPE CreateToastNotification(Data::Xml::Dom::IXmlDocument* content, IToastNotification** notification) = 0;
};

struct IToastNotificationManagerStatics : public IInspectable
{
    virtual HRESULT STDMETHODCALLTYPE CreateToastNotifier(IToastNotifier** notifier) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateToastNotifierWithId(HSTRING applicationId, IToastNotifier** notifier) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetTemplateContent(ToastTemplateType type, Data::Xml::Dom::IXmlDocument** content) = 0;
};

} // namespace Notifications
} // namespace UI
} // namespace Windows
} // namespace ABI

inline constexpr wchar_t RuntimeClass_Windows_UI_Notifications_ToastNotificationManager[] =
    L"Windows.UI.Notifications.ToastNotificationManager";
inline constexpr wchar_t RuntimeClass_Windows_UI_Notifications_ToastNotification[] =
    L"Windows.UI.Notifications.ToastNotification";

WINSIM_UUID(ABI::Windows::UI::Notifications::IToastNotification, 0x997E2675, 0x059E, 0x4E60, 0x8B, 0x06, 0x17, 0x60, 0x91, 0x7C, 0x8B, 0x80)
WINSIM_UUID(ABI::Windows::UI::Notifications::IToastActivatedEventArgs, 0xE3BF92F3, 0xC197, 0x436F, 0x82, 0x65, 0x06, 0x25, 0x82, 0x4F, 0x8D, 0xAC)
WINSIM_UUID(ABI::Windows::UI::Notifications::IToastDismissedEventArgs, 0x3F89D935, 0xD9CB, 0x4538, 0xA0, 0xF0, 0xFF, 0xE7, 0x65, 0x99, 0x38, 0xF8)
WINSIM_UUID(ABI::Windows::UI::Notifications::IToastFailedEventArgs, 0x35176862, 0xCFD4, 0x44F8, 0xAD, 0x64, 0xF5, 0x00, 0xFD, 0x89, 0x6C, 0x3B)
WINSIM_UUID(ABI::Windows::UI::Notifications::IToastNotifier, 0x75927B93, 0x03F3, 0x41EC, 0x91, 0xD3, 0x6E, 0x5B, 0xAC, 0x1B, 0x38, 0xE7)
WINSIM_UUID(ABI::Windows::UI::Notifications::IToastNotificationFactory, 0x04124B20, 0x82C6, 0x4229, 0xB1, 0x09, 0xFD, 0x9E, 0xD4, 0x66, 0x2B, 0x53)
WINSIM_UUID(ABI::Windows::UI::Notifications::IToastNotificationManagerStatics, 0x50AC103F, 0xD235, 0x4598, 0xBB, 0xEF, 0x98, 0xFE, 0x4D, 0x1A, 0x3A, 0xD4)
WINSIM_UUID_LAST(0xAB54DE2D, 0x97D9, 0x5528, 0xB6, 0xAD, 0x10, 0x5A, 0xFE, 0x15, 0x65, 0x30,
                 ABI::Windows::Foundation::ITypedEventHandler<ABI::Windows::UI::Notifications::ToastNotification*, IInspectable*>)
WINSIM_UUID_LAST(0x61C2402F, 0x0ED0, 0x5A18, 0xAB, 0x69, 0x59, 0xF4, 0xAA, 0x99, 0xA3, 0x68,
                 ABI::Windows::Foundation::ITypedEventHandler<ABI::Windows::UI::Notifications::ToastNotification*, ABI::Windows::UI::Notifications::ToastDismissedEventArgs*>)
WINSIM_UUID_LAST(0x95E3E803, 0xC969, 0x5E3A, 0x97, 0x53, 0xEA, 0x2A, 0xD2, 0x2A, 0x9A, 0x33,
                 ABI::Windows::Foundation::ITypedEventHandler<ABI::Windows::UI::Notifications::ToastNotification*, ABI::Windows::UI::Notifications::ToastFailedEventArgs*>)
