// Where the simulated toast notifier sends what it shows. The in-memory back end
// keeps toasts for inspection; the freedesktop back end hands them to the
// desktop's notification server.
#pragma once

#include <QString>

#include <memory>

#include "api.h"

namespace winsim {

// Receives what became of one shown toast. Called from any thread but the
// caller's; the notifier turns these into the notification's events.
class WINSIM_API ToastEventSink
{
public:
    virtual ~ToastEventSink();
    virtual void activated(const QString& arguments) = 0;
    // Reason as the platform numbers it: 0 user, 1 application, 2 timed out (others pass through).
    virtual void dismissed(int reason) = 0;
    virtual void failed(int hresult) = 0;
};

// One shown toast as the back end sees it.
struct ToastDelivery
{
    quint64 key = 0;        // unique per Show, chosen by the notifier
    QString appUserModelId; // the notifier's application id
    QString xml;            // the toast document, serialised
};

class WINSIM_API DeliveryBackend
{
public:
    virtual ~DeliveryBackend();
    // Must not block; outcomes reach the sink later, on another thread.
    virtual void show(const ToastDelivery& toast, const std::shared_ptr<ToastEventSink>& sink) = 0;
    // Takes a shown toast away; the back end reports it as dismissed by the application.
    virtual void hide(quint64 key) = 0;
};

} // namespace winsim
