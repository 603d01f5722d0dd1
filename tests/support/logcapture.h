#pragma once

#include <QMutex>
#include <QStringList>

// Collects every line the module writes to the host log while it lives.
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();

    QStringList lines() const;          // the lines, in order
    QStringList platformLines() const;  // the lines written on the platform's event thread
    void clear();

private:
    struct Entry
    {
        QString line;
        bool onPlatformThread;
    };
    template<class Pick>
    QStringList collect(Pick pick) const;

    mutable QMutex m_mutex;
    QList<Entry> m_entries;
};
