#pragma once

#include <windows.ui.notifications.h>
#include <wrl/client.h>

#include <atomic>
#include <new>
#include <utility>

#ifdef _MSC_VER
#include <wrl/event.h>
#endif

// The delegate behind one event of a toast notification: a function object
// called with the event's sender and arguments. MinGW-w64 has no WRL Callback,
// so every compiler but MSVC gets this class. The platform may release it from
// any of its threads, hence the atomic count.
template <class TDelegate, class TArgs, class TFunction>
class ToastEventHandler final : public TDelegate
{
public:
    using IToastNotification = ABI::Windows::UI::Notifications::IToastNotification;

    explicit ToastEventHandler(TFunction function) : m_function(std::move(function)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (IsEqualIID(iid, __uuidof(IUnknown)) || IsEqualIID(iid, __uuidof(TDelegate))) {
            *object = static_cast<TDelegate*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }

    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }

    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE Invoke(IToastNotification* sender, TArgs* args) override
    {
        return m_function(sender, args);
    }

private:
    ~ToastEventHandler() = default;

    std::atomic<ULONG> m_references{1};
    TFunction m_function;
};

// A new handler holding one reference, or null when memory ran out.
template <class TDelegate, class TArgs, class TFunction>
Microsoft::WRL::ComPtr<TDelegate> makeToastEventHandler(TFunction&& function)
{
#ifdef _MSC_VER
    return Microsoft::WRL::Callback<TDelegate>(std::forward<TFunction>(function));
#else
    Microsoft::WRL::ComPtr<TDelegate> handler;
    handler.Attach(new (std::nothrow) ToastEventHandler<TDelegate, TArgs, std::decay_t<TFunction>>(
        std::forward<TFunction>(function)));
    return handler;
#endif
}
