#include "logcapture.h"

#include "umxloggerlite.h"

#include <winsim/control.h>

LogCapture::LogCapture()
{
    UmxLoggerLite::setSink([this](const std::wstring& tag, const std::wstring& line) {
        const bool onPlatformThread = winsim::control::isPlatformEventThread();
        QMutexLocker lock(&m_mutex);
        m_entries.append({QString::fromStdWString(tag), QString::fromStdWString(line), onPlatformThread});
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
    for (const Entry& entry : m_entries)
        out << entry.line;
    return out;
}

QStringList LogCapture::tags() const
{
    QMutexLocker lock(&m_mutex);
    QStringList out;
    for (const Entry& entry : m_entries)
        out << entry.tag;
    return out;
}

QStringList LogCapture::platformLines() const
{
    QMutexLocker lock(&m_mutex);
    QStringList out;
    for (const Entry& entry : m_entries)
        if (entry.onPlatformThread)
            out << entry.line;
    return out;
}

void LogCapture::clear()
{
    QMutexLocker lock(&m_mutex);
    m_entries.clear();
}
