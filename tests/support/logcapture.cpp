#include "logcapture.h"

#include "umxloggerlite.h"

#include <winsim/control.h>

LogCapture::LogCapture()
{
    UmxLoggerLite::setSink([this](const std::wstring&, const std::wstring& line) {
        const bool onPlatformThread = winsim::control::isPlatformEventThread();
        QMutexLocker lock(&m_mutex);
        m_entries.append({QString::fromStdWString(line), onPlatformThread});
    });
}

LogCapture::~LogCapture()
{
    UmxLoggerLite::setSink({});
}

QStringList LogCapture::collect(bool platformOnly) const
{
    QMutexLocker lock(&m_mutex);
    QStringList out;
    for (const Entry& entry : m_entries) {
        if (!platformOnly || entry.onPlatformThread)
            out << entry.line;
    }
    return out;
}

void LogCapture::clear()
{
    QMutexLocker lock(&m_mutex);
    m_entries.clear();
}
