#include "umskin.h"

#include "umlitetheme_p.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QResource>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

// The file the kit library was loaded from.
QString kitLibraryFile()
{
#ifdef _WIN32
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&kitLibraryFile), &module))
        return QString();
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    if (length == 0 || length == MAX_PATH)
        return QString();
    return QString::fromWCharArray(path, int(length));
#else
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&kitLibraryFile), &info) || !info.dli_fname)
        return QString();
    return QString::fromLocal8Bit(info.dli_fname);
#endif
}

// The kit's default skin lies at a fixed place relative to the kit library
// itself, in the build tree and in an installed prefix wherever it was moved.
QStringList skinDirsBesideKit()
{
    static const QStringList dirs = [] {
        QStringList found;
        const QString libFile = kitLibraryFile();
        if (libFile.isEmpty())
            return found;
        const QDir libDir = QFileInfo(libFile).absoluteDir();
        for (const char* relative : {UMLITE_SKIN_FROM_BUILT_LIB, UMLITE_SKIN_FROM_INSTALLED_LIB})
            found << QDir::cleanPath(libDir.filePath(QString::fromUtf8(relative)));
        return found;
    }();
    return dirs;
}

class ResourceRegistry : public IUmResourceRegistry
{
public:
    bool registerRcc(const QString& rccPath, const QString& mapRoot) override
    {
        QMutexLocker lock(&m_mutex);
        m_requested.append(rccPath);
        const QString file = resolve(rccPath);
        if (file.isEmpty())
            return false;
        if (!QResource::registerResource(file, mapRoot))
            return false;
        m_registered.append(file);
        umlite::forgetThemeSheets();
        return true;
    }

    QStringList requestedFiles() const override
    {
        QMutexLocker lock(&m_mutex);
        return m_requested;
    }

    QStringList registeredFiles() const override
    {
        QMutexLocker lock(&m_mutex);
        return m_registered;
    }

    void addSearchPath(const QString& dir)
    {
        QMutexLocker lock(&m_mutex);
        if (!m_searchPaths.contains(dir))
            m_searchPaths.append(dir);
    }

private:
    QString resolve(const QString& path) const
    {
        if (path.isEmpty())
            return QString();
        QFileInfo info(path);
        if (info.isAbsolute())
            return info.isFile() ? info.absoluteFilePath() : QString();
        for (const QString& dir : searchPaths()) {
            QFileInfo candidate(QDir(dir), path);
            if (candidate.isFile())
                return candidate.absoluteFilePath();
        }
        return QString();
    }

    QStringList searchPaths() const
    {
        QStringList paths = m_searchPaths;
        const QByteArray fromEnv = qgetenv("UMLITE_SKIN_PATH");
        if (!fromEnv.isEmpty())
            paths += QString::fromLocal8Bit(fromEnv).split(QDir::listSeparator(), Qt::SkipEmptyParts);
        if (QCoreApplication::instance()) {
            const QString appDir = QCoreApplication::applicationDirPath();
            paths << appDir << appDir + QStringLiteral("/skin")
                  << appDir + QStringLiteral("/" UMLITE_SKIN_FROM_APP_DIR);
        }
        paths += skinDirsBesideKit();
        return paths;
    }

    mutable QMutex m_mutex;
    QStringList m_searchPaths;
    QStringList m_requested;
    QStringList m_registered;
};

// A host may start in its dark theme: UMLITE_THEME=dark.
QString initialTheme()
{
    const QByteArray fromEnv = qgetenv("UMLITE_THEME");
    return fromEnv == "dark" ? QStringLiteral("dark") : QStringLiteral("light");
}

struct ThemeState {
    QMutex mutex;
    QString theme = initialTheme();
    QList<UmLiteSkin*> skins;
};

ThemeState& themeState()
{
    static ThemeState state;
    return state;
}

} // namespace

class UmLiteSkin::Private
{
public:
    ResourceRegistry registry;
};

UmLiteSkin::UmLiteSkin(QObject* parent)
    : QObject(parent)
    , d(new Private)
{
    QMutexLocker lock(&themeState().mutex);
    themeState().skins.append(this);
}

UmLiteSkin::~UmLiteSkin()
{
    {
        QMutexLocker lock(&themeState().mutex);
        themeState().skins.removeAll(this);
    }
    delete d;
}

QString UmLiteSkin::skinName() const
{
    return QStringLiteral("umlite");
}

QString UmLiteSkin::themeName() const
{
    return currentThemeName();
}

QString UmLiteSkin::currentThemeName()
{
    QMutexLocker lock(&themeState().mutex);
    return themeState().theme;
}

IUmResourceRegistry* UmLiteSkin::resourceRegistry()
{
    return &d->registry;
}

QString UmLiteSkin::styleSheet(const QString& themeClass) const
{
    return themeStyleSheet(themeClass);
}

QString UmLiteSkin::themeStyleSheet(const QString& themeClass)
{
    if (themeClass.isEmpty())
        return QString();
    const QStringList candidates = {
        QStringLiteral(":/umlite/themes/%1/%2.qss").arg(currentThemeName(), themeClass),
        QStringLiteral(":/umlite/themes/%1.qss").arg(themeClass),
    };
    for (const QString& name : candidates) {
        QFile file(name);
        if (file.open(QIODevice::ReadOnly))
            return QString::fromUtf8(file.readAll());
    }
    return QString();
}

void UmLiteSkin::setThemeName(const QString& theme)
{
    QList<UmLiteSkin*> skins;
    {
        QMutexLocker lock(&themeState().mutex);
        if (theme == themeState().theme)
            return;
        themeState().theme = theme;
        skins = themeState().skins;
    }
    // This skin first, so its own listeners hear it before anyone else's.
    skins.removeAll(this);
    skins.prepend(this);
    for (UmLiteSkin* skin : qAsConst(skins))
        emit skin->skinChanged();
}

void UmLiteSkin::addResourceSearchPath(const QString& dir)
{
    d->registry.addSearchPath(dir);
}

UmSkin::UmSkin(QObject* parent)
    : UmLiteSkin(parent)
{
}

UmSkin::~UmSkin() = default;
