#include "logcapture.h"

#include "umxloggerlite.h"

LogCapture::LogCapture()
{
    UmxLoggerLite::setSink([this](const std::wstring& tag, const std::wstring& line) {
        QMutexLocker lock(&m_mutex);
        m_entries.append({QString::fromStdWString(tag), QString::fromStdWString(line)});
    });
}

LogCapture::~LogCapture()
{
    UmxLoggerLite::setSink({});
}

QStringList LogCapture::lines() const
{
    QMutexLocker lock(&m_mutex);
    QStringList out;
    for (const auto& entry : m_entries)
        out << entry.second;
    return out;
}

QStringList LogCapture::tags() const
{
    QMutexLocker lock(&m_mutex);
    QStringList out;
    for (const auto& entry : m_entries)
        out << entry.first;
    return out;
}

void LogCapture::clear()
{
    QMutexLocker lock(&m_mutex);
    m_entries.clear();
}
