#include "zandrtesting.h"

#include <QCoreApplication>
#include <QDir>
#include <QMutex>
#include <QMutexLocker>

#include <atomic>

namespace {

struct RuntimeState {
    QMutex mutex;
    QString frameworks;
    QString installRoot;
    std::atomic<int> calls{0};
};

RuntimeState& state()
{
    static RuntimeState s;
    return s;
}

QString applicationParentDir()
{
    if (!QCoreApplication::instance())
        return QString();
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/.."));
}

// The host's runtime hands out paths as the system writes them.
QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}


} // namespace

QString zandr::dirs::frameworks(const QString& subDir, void*)
{
    ++state().calls;
    QString base;
    {
        QMutexLocker lock(&state().mutex);
        base = state().frameworks;
    }
    if (base.isEmpty())
        base = applicationParentDir();
    if (base.isEmpty() || subDir.isEmpty())
        return native(base);
    return native(QDir(base).filePath(subDir));
}

QString zandr::dirs::officeInstallRoot()
{
    ++state().calls;
    QString root;
    {
        QMutexLocker lock(&state().mutex);
        root = state().installRoot;
    }
    return native(root.isEmpty() ? applicationParentDir() : root);
}

QString zandr::getLibFileName(const QString& baseName)
{
    ++state().calls;
    if (baseName.isEmpty())
        return QString();
#ifdef _WIN32
    return QStringLiteral("%1.dll").arg(baseName);
#else
    return QStringLiteral("lib%1.so").arg(baseName);
#endif
}

void zandr::testing::setFrameworks(const QString& dir)
{
    QMutexLocker lock(&state().mutex);
    state().frameworks = dir;
}

void zandr::testing::setOfficeInstallRoot(const QString& dir)
{
    QMutexLocker lock(&state().mutex);
    state().installRoot = dir;
}

int zandr::testing::calls()
{
    return state().calls.load();
}
