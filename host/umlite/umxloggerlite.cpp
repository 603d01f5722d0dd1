#include "umxloggerlite.h"

#include <QDateTime>
#include <QFile>
#include <QMutex>
#include <QMutexLocker>

namespace {

struct LoggerState {
    QMutex mutex;
    UmxLoggerLite::Sink sink;
    QFile file;
};

LoggerState& state()
{
    static LoggerState s;
    return s;
}

} // namespace

void UmxLoggerLite::writeInfo(const std::wstring& tag, const std::wstring& text)
{
    LoggerState& s = state();
    Sink sink;
    {
        QMutexLocker lock(&s.mutex);
        if (s.file.isOpen()) {
            const QString line = QStringLiteral("%1 [INFO] [%2] %3\n")
                                     .arg(QDateTime::currentDateTime().toString(Qt::ISODateWithMs),
                                          QString::fromStdWString(tag), QString::fromStdWString(text));
            s.file.write(line.toUtf8());
            s.file.flush();
        }
        sink = s.sink;
    }
    // Called outside the lock so that a sink may log again without deadlocking.
    if (sink)
        sink(tag, text);
}

void UmxLoggerLite::setSink(Sink sink)
{
    QMutexLocker lock(&state().mutex);
    state().sink = std::move(sink);
}

void UmxLoggerLite::setLogFile(const QString& path)
{
    LoggerState& s = state();
    QMutexLocker lock(&s.mutex);
    if (s.file.isOpen())
        s.file.close();
    if (path.isEmpty())
        return;
    s.file.setFileName(path);
    s.file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text);
}
