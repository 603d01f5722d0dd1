#include "systemtoastnotify.h"

#include "hstringwrapper.h"
#include "toasteventhandler.h"
#include "toastlog.h"
#include "winrtlibrary.h"

#include <winstring.h>

#include <QThread>

using ABI::Windows::Foundation::ITypedEventHandler;
using ABI::Windows::UI::Notifications::IToastActivatedEventArgs;
using ABI::Windows::UI::Notifications::IToastDismissedEventArgs;
using ABI::Windows::UI::Notifications::IToastFailedEventArgs;
using ABI::Windows::UI::Notifications::ToastDismissalReason;
using ABI::Windows::UI::Notifications::ToastDismissedEventArgs;
using ABI::Windows::UI::Notifications::ToastFailedEventArgs;
using ABI::Windows::UI::Notifications::ToastNotification;
using Microsoft::WRL::ComPtr;

struct SystemToastNotify::NotificationHolder
{
    ComPtr<IToastNotification> notification;
    EventRegistrationToken activatedToken = {};
    EventRegistrationToken dismissedToken = {};
    EventRegistrationToken failedToken = {};
};

namespace {

using ActivatedHandler = ITypedEventHandler<ToastNotification*, IInspectable*>;
using DismissedHandler = ITypedEventHandler<ToastNotification*, ToastDismissedEventArgs*>;
using FailedHandler = ITypedEventHandler<ToastNotification*, ToastFailedEventArgs*>;

// Where the handlers log: each is the lambda of its subscription.
const QString k_activatedHandler = QStringLiteral("SystemToastNotify::attachActivated::<lambda>::operator ()");
const QString k_dismissedHandler = QStringLiteral("SystemToastNotify::attachDismissed::<lambda>::operator ()");
const QString k_failedHandler = QStringLiteral("SystemToastNotify::attachFailed::<lambda>::operator ()");

ToastDismissalReasonType toDismissalReasonType(ToastDismissalReason reason)
{
    switch (reason) {
    case ABI::Windows::UI::Notifications::ToastDismissalReason_UserCanceled:
        return ToastDismissalUserCanceled;
    case ABI::Windows::UI::Notifications::ToastDismissalReason_ApplicationHidden:
        return ToastDismissalApplicationHidden;
    case ABI::Windows::UI::Notifications::ToastDismissalReason_TimedOut:
        return ToastDismissalTimedOut;
    }
    return ToastDismissalUserCanceled;
}

// A string the platform handed out belongs to the caller.
void releaseString(HSTRING string)
{
    auto deleteString = reinterpret_cast<decltype(&WindowsDeleteString)>(resolveCombaseFunction("WindowsDeleteString"));
    if (deleteString && string)
        deleteString(string);
}

void registerSignalTypes()
{
    static const int registered = qRegisterMetaType<ToastDismissalReasonType>("ToastDismissalReasonType");
    Q_UNUSED(registered)
}

} // namespace

SystemToastNotify::SystemToastNotify(quint64 id, const std::weak_ptr<ISystemNotifyToastListener>& listener)
    : m_toastId(id)
    , m_holder(new NotificationHolder)
    , m_listener(listener)
{
    registerSignalTypes();
    connect(this, &SystemToastNotify::sigActivated, this, &SystemToastNotify::onActivated);
    connect(this, &SystemToastNotify::sigDismissed, this, &SystemToastNotify::onDismissed);
    connect(this, &SystemToastNotify::sigFailed, this, &SystemToastNotify::onFailed);
}

SystemToastNotify::~SystemToastNotify() = default;

std::shared_ptr<SystemToastNotify> SystemToastNotify::create(quint64 id, const std::weak_ptr<ISystemNotifyToastListener>& listener)
{
    return std::shared_ptr<SystemToastNotify>(new SystemToastNotify(id, listener), [](SystemToastNotify* toast) {
        if (QThread::currentThread() == toast->thread())
            delete toast;
        else
            toast->deleteLater(); // a handler let go last, on a platform thread
    });
}

void SystemToastNotify::setActions(const QList<ToastAction>& actions)
{
    m_actions = actions;
}

bool SystemToastNotify::attach(IToastNotification* notification, quint64 expiration)
{
    if (!m_holder || !notification)
        return false;
    m_holder->notification = notification;
    if (checkFailedShort(QStringLiteral("attachActivated()"), attachActivated()))
        return false;
    if (checkFailedShort(QStringLiteral("attachDismissed(expiration)"), attachDismissed(expiration)))
        return false;
    if (checkFailedShort(QStringLiteral("attachFailed()"), attachFailed()))
        return false;
    return true;
}

HRESULT SystemToastNotify::attachActivated()
{
    if (!m_holder || !m_holder->notification)
        return E_FAIL;
    std::weak_ptr<SystemToastNotify> weakThis = shared_from_this();
    ComPtr<ActivatedHandler> handler = makeToastEventHandler<ActivatedHandler, IInspectable>(
        [weakThis](IToastNotification* sender, IInspectable* args) -> HRESULT {
            try {
                std::shared_ptr<SystemToastNotify> self = weakThis.lock();
                if (!self || !sender || !args) {
                    logCall(k_activatedHandler, QStringLiteral("data is null"));
                    return S_OK;
                }
                ComPtr<IToastActivatedEventArgs> activatedArgs;
                if (checkFailedShort(QStringLiteral("hResult"), args->QueryInterface(__uuidof(IToastActivatedEventArgs), reinterpret_cast<void**>(activatedArgs.GetAddressOf()))))
                    return S_OK;
                HSTRING rawArguments = nullptr;
                activatedArgs->get_Arguments(&rawArguments);
                const std::wstring arguments = HstringWrapper(rawArguments).toWString();
                releaseString(rawArguments);
                const QString text = QString::fromStdWString(arguments);
                logCall(k_activatedHandler, QStringLiteral("call lambda string : %1").arg(text));
                emit self->sigActivated(text, QPrivateSignal());
                return S_OK;
            } catch (...) {
                // Nothing may reach the platform, and logging now could throw again.
                return S_OK;
            }
        });
    const HRESULT hr = m_holder->notification->add_Activated(handler.Get(), &m_holder->activatedToken);
    return hr;
}

HRESULT SystemToastNotify::attachDismissed(quint64 expiration)
{
    if (!m_holder || !m_holder->notification)
        return E_FAIL;
    std::weak_ptr<SystemToastNotify> weakThis = shared_from_this();
    ComPtr<DismissedHandler> handler = makeToastEventHandler<DismissedHandler, IToastDismissedEventArgs>(
        [weakThis, expiration](IToastNotification* sender, IToastDismissedEventArgs* args) -> HRESULT {
            try {
                Q_UNUSED(expiration) // kept with the handler; the platform times the toast itself
                std::shared_ptr<SystemToastNotify> self = weakThis.lock();
                if (!self || !sender || !args) {
                    logCall(k_dismissedHandler, QStringLiteral("data is null"));
                    return S_OK;
                }
                ToastDismissalReason reason = ABI::Windows::UI::Notifications::ToastDismissalReason_UserCanceled;
                args->get_Reason(&reason);
                const ToastDismissalReasonType mapped = toDismissalReasonType(reason);
                logCall(k_dismissedHandler, QStringLiteral("reason:%1").arg(int(mapped)));
                emit self->sigDismissed(mapped, QPrivateSignal());
                return S_OK;
            } catch (...) {
                return S_OK;
            }
        });
    const HRESULT hr = m_holder->notification->add_Dismissed(handler.Get(), &m_holder->dismissedToken);
    return hr;
}

HRESULT SystemToastNotify::attachFailed()
{
    if (!m_holder || !m_holder->notification)
        return E_FAIL;
    std::weak_ptr<SystemToastNotify> weakThis = shared_from_this();
    ComPtr<FailedHandler> handler = makeToastEventHandler<FailedHandler, IToastFailedEventArgs>(
        [weakThis](IToastNotification* sender, IToastFailedEventArgs* args) -> HRESULT {
            try {
                std::shared_ptr<SystemToastNotify> self = weakThis.lock();
                if (!self || !sender || !args) {
                    logCall(k_failedHandler, QStringLiteral("data is null"));
                    return S_OK;
                }
                // A failing read may clear its out-value; an unreadable code stays E_FAIL.
                HRESULT errorCode = E_FAIL;
                HRESULT read = E_FAIL;
                if (SUCCEEDED(args->get_ErrorCode(&read)))
                    errorCode = read;
                logCall(k_failedHandler, QStringLiteral("error:%1").arg(qint32(errorCode)));
                emit self->sigFailed(int(errorCode), QPrivateSignal());
                return S_OK;
            } catch (...) {
                return S_OK;
            }
        });
    const HRESULT hr = m_holder->notification->add_Failed(handler.Get(), &m_holder->failedToken);
    return hr;
}

ComPtr<SystemToastNotify::IToastNotification> SystemToastNotify::notification() const
{
    if (!m_holder)
        return nullptr;
    return m_holder->notification;
}

void SystemToastNotify::detach()
{
    if (!m_holder || !m_holder->notification)
        return;
    // Over before the report: the listener may hide this toast again, which
    // must find nothing left to do, or delete the service that owns this object.
    ComPtr<IToastNotification> notification = std::move(m_holder->notification);
    notification->remove_Activated(m_holder->activatedToken);
    notification->remove_Dismissed(m_holder->dismissedToken);
    notification->remove_Failed(m_holder->failedToken);
    notification.Reset();
    const std::shared_ptr<ISystemNotifyToastListener> listener = m_listener.lock();
    const quint64 id = m_toastId;
    // A detached toast reports nothing more; the service keeps the object for
    // good, so it keeps as little as it can (a weak reference would pin the
    // listener's memory block).
    m_listener.reset();
    m_actions.clear();
    if (listener)
        listener->onToastDismissed(id, ToastDismissalUserCanceled);
}

// Events the platform raised before detach may still be queued here; a
// detached toast has already reported its end, so they are only logged.
void SystemToastNotify::onActivated(const QString& arguments)
{
    logCall(QStringLiteral("SystemToastNotify::onActivated"), QStringLiteral("action : %1").arg(arguments));
    std::shared_ptr<ISystemNotifyToastListener> listener = m_listener.lock();
    if (!listener || !m_holder->notification)
        return;
    for (int index = 0; index < m_actions.size(); ++index) {
        if (m_actions.at(index).action != arguments)
            continue;
        // A copy: the listener may hide this toast, which clears the actions.
        const QString action = m_actions.at(index).action;
        listener->onToastActivated(m_toastId, 1, qint64(index), action);
        return;
    }
}

void SystemToastNotify::onDismissed(ToastDismissalReasonType reason)
{
    logCall(QStringLiteral("SystemToastNotify::onDismissed"), QStringLiteral("reason : %1").arg(int(reason)));
    std::shared_ptr<ISystemNotifyToastListener> listener = m_listener.lock();
    if (listener && m_holder->notification)
        listener->onToastDismissed(m_toastId, int(reason));
}

void SystemToastNotify::onFailed(int errorCode)
{
    logCall(QStringLiteral("SystemToastNotify::onFailed"), QStringLiteral("errorCode : %1").arg(errorCode));
    std::shared_ptr<ISystemNotifyToastListener> listener = m_listener.lock();
    if (listener && m_holder->notification)
        listener->onToastFailed(m_toastId, errorCode);
}
