// Public: implemented by the host to hear what became of its toasts.
#pragma once

#include <QString>
#include <QtGlobal>

class ISystemNotifyToastListener
{
public:
    virtual ~ISystemNotifyToastListener() {}
    // source 1: an action (index = its position); source 2: a clickable segment (index = line).
    virtual void onToastActivated(quint64 toastId, int source, qint64 index, const QString& action) = 0;
    // reason: 0 closed by the user, 1 hidden by the application, 2 timed out.
    virtual void onToastDismissed(quint64 toastId, int reason) = 0;
    // errorCode: the platform's HRESULT.
    virtual void onToastFailed(quint64 toastId, int errorCode) = 0;
};
