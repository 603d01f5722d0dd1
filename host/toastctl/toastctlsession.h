#pragma once

#include "isystemnotifytoast.h"
#include "isystemnotifytoastlistener.h"
#include "systemnotifytoastexports.h"

#include <QLibrary>
#include <QObject>

#include <memory>

class QJsonObject;

// Prints one JSON object per line on standard output.
void printEvent(const QJsonObject& event);

class ToastctlListener : public QObject, public ISystemNotifyToastListener
{
    Q_OBJECT
public:
    void onToastActivated(quint64 toastId, int source, qint64 index, const QString& action) override;
    void onToastDismissed(quint64 toastId, int reason) override;
    void onToastFailed(quint64 toastId, int errorCode) override;

signals:
    void outcome();
};

// The loaded module and its three entry points.
class ModuleHandle
{
public:
    ~ModuleHandle();
    // Tries the given file, or the usual places when it is empty.
    bool load(const QString& file, QString& error);

    IsSupportSystemToastFn isSupported = nullptr;
    CreateSystemNotifyToastFn create = nullptr;
    DeleteSystemNotifyToastFn destroy = nullptr;

private:
    QLibrary m_library;
};
