#include "fifofeeder.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

FifoFeeder::FifoFeeder(const QString& name, const QByteArray& bytes)
    : m_path(m_dir.filePath(name))
{
    const QByteArray file = QFile::encodeName(m_path);
    m_valid = m_dir.isValid() && mkfifo(file.constData(), 0600) == 0;
    if (!m_valid)
        return;
    // Opening for writing waits until a reader comes.
    m_writer = std::thread([this, file, bytes] {
        const int fd = open(file.constData(), O_WRONLY);
        if (fd < 0)
            return;
        m_opened = true;
        for (qint64 done = 0; done < bytes.size();) {
            const ssize_t n = write(fd, bytes.constData() + done, size_t(bytes.size() - done));
            if (n <= 0)
                break;
            done += n;
        }
        close(fd);
    });
}

FifoFeeder::~FifoFeeder()
{
    if (!m_writer.joinable())
        return;
    // Nobody read it: become the reader, so that the writer's open returns and it
    // ends (the bytes fit the pipe's buffer, see the header).
    const int fd = open(QFile::encodeName(m_path).constData(), O_RDONLY | O_NONBLOCK);
    m_writer.join();
    if (fd >= 0)
        close(fd);
}
