#include "recordingsink.h"

QString RecordingSink::failure(int hresult)
{
    return QStringLiteral("failed 0x%1").arg(static_cast<quint32>(hresult), 8, 16, QLatin1Char('0'));
}

void RecordingSink::activated(const QString& arguments)
{
    record(QStringLiteral("activated ") + arguments);
}

void RecordingSink::dismissed(int reason)
{
    record(QStringLiteral("dismissed %1").arg(reason));
}

void RecordingSink::failed(int hresult)
{
    record(failure(hresult));
}

QStringList RecordingSink::lines() const
{
    QMutexLocker lock(&m_mutex);
    return m_lines;
}

void RecordingSink::record(const QString& line)
{
    QMutexLocker lock(&m_mutex);
    m_lines.append(line);
}
