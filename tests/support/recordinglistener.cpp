#include "recordinglistener.h"

void RecordingListener::onToastActivated(quint64 toastId, int source, qint64 index, const QString& action)
{
    record({Activated, toastId, source, index, action, 0, QThread::currentThread()});
}

void RecordingListener::onToastDismissed(quint64 toastId, int reason)
{
    record({Dismissed, toastId, 0, 0, QString(), reason, QThread::currentThread()});
}

void RecordingListener::onToastFailed(quint64 toastId, int errorCode)
{
    record({Failed, toastId, 0, 0, QString(), errorCode, QThread::currentThread()});
}

QVector<RecordingListener::Call> RecordingListener::calls() const
{
    QMutexLocker lock(&m_mutex);
    return m_calls;
}

int RecordingListener::count() const
{
    QMutexLocker lock(&m_mutex);
    return m_calls.size();
}

void RecordingListener::record(const Call& call)
{
    QMutexLocker lock(&m_mutex);
    m_calls.append(call);
}
