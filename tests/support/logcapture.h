#pragma once

#include "umxloggerlite.h"

#include <QMutex>
#include <QStringList>

#include <functional>
#include <new>

// Collects every line the module writes to the host log while it lives. Given a test of the platform's event
// thread, it writes "* " before the lines written there, or throws there as out of memory would.
class LogCapture
{
public:
    explicit LogCapture(std::function<bool()> onPlatformThread = {}, bool throwThere = false)
    {
        UmxLoggerLite::setSink([this, onPlatformThread, throwThere](const std::wstring&, const std::wstring& text) {
            const bool there = onPlatformThread && onPlatformThread();
            if (there && throwThere)
                throw std::bad_alloc();
            QMutexLocker lock(&m_mutex);
            m_lines << QLatin1String(there ? "* " : "") + QString::fromStdWString(text);
        });
    }
    ~LogCapture() { UmxLoggerLite::setSink({}); } // the host kit has one sink: no log captures after
    QStringList lines() const
    {
        QMutexLocker lock(&m_mutex);
        return m_lines;
    }

private:
    mutable QMutex m_mutex;
    QStringList m_lines;
};
