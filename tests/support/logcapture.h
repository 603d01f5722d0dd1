#pragma once

#include <QMutex>
#include <QPair>
#include <QStringList>

// Collects every line the module writes to the host log while it lives.
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();

    QStringList lines() const;          // the lines, in order
    QStringList tags() const;           // the tag of each line
    void clear();

private:
    mutable QMutex m_mutex;
    QList<QPair<QString, QString>> m_entries;
};
