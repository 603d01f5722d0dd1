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

QStringList RecordingListener::heard(quint64 id) const
{
    QStringList lines;
    for (const Call& call : calls()) {
        QString line = call.kind == Activated ? QStringLiteral("activated %1 %2 %3").arg(call.source).arg(call.index).arg(call.action)
                                              : QStringLiteral("%1 %2").arg(QLatin1String(call.kind == Dismissed ? "dismissed" : "failed")).arg(call.value);
        if (call.id != id)
            line += QStringLiteral(" of toast %1").arg(call.id);
        if (call.thread != QThread::currentThread())
            line += QStringLiteral(" on another thread");
        lines << line;
    }
    return lines;
}

void RecordingListener::record(const Call& call)
{
    QMutexLocker lock(&m_mutex);
    m_calls.append(call);
}
