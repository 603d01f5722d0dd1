// Windows library file names and their stand-ins beside the platform library.
#include <winsim/control.h>
#include <winsim/dllnames.h>

#include "reset_p.h"

#include <dlfcn.h>
#include <mutex>
#include <QFileInfo>
#include <QSet>

namespace {

struct MissingLibraries
{
    std::mutex mutex;
    bool environmentRead = false;
    QSet<QString> names; // lower-case Windows file names
};

MissingLibraries& missing()
{
    static MissingLibraries m;
    return m;
}

QString windowsKey(const QString& windowsFileName)
{
    return windowsFileName.trimmed().toLower();
}

void readEnvironmentOnce(MissingLibraries& m)
{
    if (m.environmentRead)
        return;
    m.environmentRead = true;
    const QString list = qEnvironmentVariable("WINSIM_MISSING_LIBRARIES");
    for (const QString& name : list.split(QLatin1Char(','), Qt::SkipEmptyParts))
        m.names.insert(windowsKey(name));
}

// Windows takes its system libraries from its own folder whatever the caller's
// search path; the stand-ins lie in the folder this library was loaded from.
QString loadedFromDir()
{
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&loadedFromDir), &info) || !info.dli_fname)
        return QString();
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath();
}

// Taken while the library is being loaded: a host that loaded it by a relative
// name may change its working directory later.
const QString g_platformLibraryDir = loadedFromDir();

} // namespace

namespace winsim {

QString localLibraryFileName(const QString& windowsFileName)
{
    QString base = windowsKey(windowsFileName);
    bool isMissing = false;
    {
        MissingLibraries& m = missing();
        std::lock_guard<std::mutex> lock(m.mutex);
        readEnvironmentOnce(m);
        isMissing = m.names.contains(base);
    }
    if (base.endsWith(QLatin1String(".dll")))
        base.chop(4);
    const QString file = isMissing ? QStringLiteral("libwinsim-missing-%1.so").arg(base)
                                   : QStringLiteral("lib%1.so").arg(base);
    return g_platformLibraryDir.isEmpty() ? file : g_platformLibraryDir + QLatin1Char('/') + file;
}

namespace control {

void setLibraryMissing(const QString& windowsFileName, bool missingNow)
{
    MissingLibraries& m = missing();
    std::lock_guard<std::mutex> lock(m.mutex);
    readEnvironmentOnce(m);
    if (missingNow)
        m.names.insert(windowsKey(windowsFileName));
    else
        m.names.remove(windowsKey(windowsFileName));
}

} // namespace control

namespace detail {

void resetMissingLibraries()
{
    MissingLibraries& m = missing();
    std::lock_guard<std::mutex> lock(m.mutex);
    m.names.clear();
    m.environmentRead = false; // the environment's list applies again
}

} // namespace detail
} // namespace winsim
