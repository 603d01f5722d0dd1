#pragma once

#include "isystemnotifytoastlistener.h"

#include <QMutex>
#include <QStringList>
#include <QThread>
#include <QVector>

// A listener that writes down every call, with the thread it came on.
class RecordingListener : public ISystemNotifyToastListener
{
public:
    void onToastActivated(quint64 toastId, int source, qint64 index, const QString& action) override
    {
        record({Activated, toastId, source, index, action, 0, QThread::currentThread()});
    }
    void onToastDismissed(quint64 toastId, int reason) override
    {
        record({Dismissed, toastId, 0, 0, QString(), reason, QThread::currentThread()});
    }
    void onToastFailed(quint64 toastId, int errorCode) override
    {
        record({Failed, toastId, 0, 0, QString(), errorCode, QThread::currentThread()});
    }

    int count() const { return calls().size(); }
    // Each call as a short line ("activated 1 0 open", "dismissed 2", "failed -2147467259"), marked
    // when it names a toast other than id or came on a thread other than the caller's.
    QStringList heard(quint64 id) const;

private:
    enum Kind { Activated, Dismissed, Failed };
    struct Call
    {
        Kind kind;
        quint64 id;
        int source;    // Activated
        qint64 index;  // Activated
        QString action;
        int value;     // reason or error code
        QThread* thread;
    };

    QVector<Call> calls() const;
    void record(const Call& call);
    mutable QMutex m_mutex;
    QVector<Call> m_calls;
};
