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

// pick(entry, out) appends what the caller wants of one entry.
template<class Pick>
QStringList LogCapture::collect(Pick pick) const
{
    QMutexLocker lock(&m_mutex);
    QStringList out;
    for (const Entry& entry : m_entries)
        pick(entry, out);
    return out;
}

QStringList LogCapture::lines() const
{
    return collect([](const Entry& e, QStringList& out) { out << e.line; });
}

QStringList LogCapture::platformLines() const
{
    return collect([](const Entry& e, QStringList& out) {
        if (e.onPlatformThread)
            out << e.line;
    });
}

void LogCapture::clear()
{
    QMutexLocker lock(&m_mutex);
    m_entries.clear();
}
