#include "recordinglistener.h"

QVector<RecordingListener::Call> RecordingListener::calls() const
{
    QMutexLocker lock(&m_mutex);
    return m_calls;
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
