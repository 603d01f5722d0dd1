#pragma once

#include <QMutex>
#include <QStringList>

// Collects every line the module writes to the host log while it lives.
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();

    QStringList lines() const { return collect(false); }
    // The lines written on the platform's event thread.
    QStringList platformLines() const { return collect(true); }
    void clear();

private:
    struct Entry
    {
        QString line;
        bool onPlatformThread;
    };
    QStringList collect(bool platformOnly) const;

    mutable QMutex m_mutex;
    QList<Entry> m_entries;
};
