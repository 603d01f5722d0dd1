// Delivery of the simulated notifier's toasts to the desktop's notification
// server (org.freedesktop.Notifications on the D-Bus session bus).
//
// Threading: the back end runs one QThread of its own with a private bus
// connection. show() and hide() only post to that thread and return at once;
// every bus call is asynchronous with a short timeout, and every sink call is
// made on that thread, never on the caller's.
//
// Outcomes:
// - server actions: activated(arguments of the button), a click on the body
//   activated(the toast's launch arguments, usually empty); an activated
//   toast leaves the screen as on Windows: unless the server closes it itself,
//   the back end closes it there, and that close, like any later one, is not
//   reported (a Windows toast that was clicked raises no dismissal);
// - server closes: expired 2 (timed out), dismissed by the user 0, closed by
//   CloseNotification 1 (application hidden), any other reason 3;
// - failures, see the HRESULTs below; a toast that failed is never left on
//   the screen by us (an answer to Notify that comes too late is closed);
// - only the server that owns the name now is heard: signals and answers of
//   other clients are ignored.
#pragma once

#include <winsim/delivery.h>

#include <QThread>

namespace winsim {

class FreedesktopChannel;

namespace freedesktop {

// No session bus, or no notification server on it, or the connection to the
// bus was lost with the toast on its way or shown (RPC_S_SERVER_UNAVAILABLE).
constexpr int ServerUnavailable = static_cast<int>(0x800706BAu);
// The server did not answer Notify in time (HRESULT_FROM_WIN32(ERROR_TIMEOUT)).
constexpr int CallTimedOut = static_cast<int>(0x800705B4u);
// The server left the bus before answering Notify, or with the toast shown
// (RPC_E_DISCONNECTED): its toasts went with it.
constexpr int ServerGone = static_cast<int>(0x80010108u);
// The server answered Notify with an error (E_FAIL) or with something that is
// not a notification id (E_UNEXPECTED).
constexpr int ServerRefused = static_cast<int>(0x80004005u);
constexpr int BadReply = static_cast<int>(0x8000FFFFu);
// The toast document could not be read (E_INVALIDARG).
constexpr int BadDocument = static_cast<int>(0x80070057u);

constexpr int DefaultCallTimeoutMs = 5000;

} // namespace freedesktop

class WINSIM_API FreedesktopBackend : public DeliveryBackend
{
public:
    explicit FreedesktopBackend(int callTimeoutMs = freedesktop::DefaultCallTimeoutMs);
    ~FreedesktopBackend() override;

    FreedesktopBackend(const FreedesktopBackend&) = delete;
    FreedesktopBackend& operator=(const FreedesktopBackend&) = delete;

    void show(const ToastDelivery& toast, const std::shared_ptr<ToastEventSink>& sink) override;
    void hide(quint64 key) override;

private:
    QThread m_thread;
    FreedesktopChannel* m_channel;
};

} // namespace winsim
