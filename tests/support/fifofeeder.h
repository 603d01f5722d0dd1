#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <atomic>
#include <thread>

// A FIFO that hands its bytes (at most a pipe's buffer, 64 KiB) to whoever opens it for reading, and then ends:
// code that should not read it shows it by having opened it, code that does gets the bytes instead of blocking.
class FifoFeeder
{
public:
    FifoFeeder(const QString& name, const QByteArray& bytes);
    ~FifoFeeder();
    FifoFeeder(const FifoFeeder&) = delete;
    FifoFeeder& operator=(const FifoFeeder&) = delete;

    bool isValid() const { return m_valid; }
    QString path() const { return m_path; }
    bool wasOpened() const { return m_opened; }

private:
    QTemporaryDir m_dir;
    QString m_path;
    bool m_valid = false;
    std::atomic<bool> m_opened{false};
    std::thread m_writer;
};
