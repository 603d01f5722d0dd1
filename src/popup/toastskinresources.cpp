#include "toastskinresources.h"

#include "orvexcloudskinproxy.h"
#include "toastmodulecontext.h"
#include "umcoreapplication.h"
#include "umpluginconfig.h"
#include "umpluginmanager.h"
#include "zandr.h"

#include "windowsapi.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>

namespace {

const char k_cloudSkinName[] = "orvexcloudskin";
const char k_versionFile[] = "version.tag";
const char k_requiredVersion[] = "1.0.0";
const char k_proxyEntry[] = "getOrvexCloudSkinProxy";

QString joinPath(const QString& dir, const QString& fileName)
{
    return QString("%1%2%3").arg(dir, QDir::separator(), fileName);
}

QString addonsDir(const QString& frameworks, const QString& dirName)
{
    return QDir::toNativeSeparators(QString("%1/addons/%2").arg(frameworks, dirName));
}

// False when the add-on is not in the process; else entry is its export, maybe null.
bool entryOfLoadedModule(GetOrvexCloudSkinProxyFn& entry)
{
    const std::wstring moduleName = QString("%1.dll").arg(k_cloudSkinName).toStdWString();
    HMODULE module = GetModuleHandleW(moduleName.c_str());
    if (!module)
        return false;
    // FARPROC names no real signature; through the generic function pointer type
    // the cast says so to the compiler.
    entry = reinterpret_cast<GetOrvexCloudSkinProxyFn>(
        reinterpret_cast<QFunctionPointer>(GetProcAddress(module, k_proxyEntry)));
    return true;
}

GetOrvexCloudSkinProxyFn entryFromDisk()
{
    // Searched once per process, also when nothing was found.
    static const QString path = findAddonModulePath(k_cloudSkinName, k_cloudSkinName, k_requiredVersion);
    if (path.isEmpty())
        return nullptr;
    QLibrary library(path);
    // Never unloaded: the host and its popups keep using the skin object.
    if (!library.isLoaded() && !library.load())
        return nullptr;
    return reinterpret_cast<GetOrvexCloudSkinProxyFn>(library.resolve(k_proxyEntry));
}

} // namespace

void registerDefaultRccSources(QStringList sources)
{
    sources << QStringLiteral("lumora_shared_res.rcc") << QStringLiteral("lumora_orvexoffice_res.rcc")
            << QStringLiteral("ico.rcc");
    ToastModuleContext* context = ToastModuleContext::instance();
    for (const QString& source : qAsConst(sources))
        context->registerRccSource(source);
}

ModuleVersion parseModuleVersion(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char('.'), Qt::SkipEmptyParts, Qt::CaseSensitive);
    ModuleVersion version;
    if (parts.size() != 3)
        return version;
    version.major = parts.at(0).trimmed().toUInt(nullptr, 10);
    version.minor = parts.at(1).trimmed().toUInt(nullptr, 10);
    version.patch = parts.at(2).trimmed().toUInt(nullptr, 10);
    return version;
}

ModuleVersion readModuleVersion(const QString& dir, const QString& fileName)
{
    QFile file(joinPath(dir, fileName));
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return ModuleVersion();
    const QString firstLine = QString::fromUtf8(file.readLine());
    file.close();
    return parseModuleVersion(firstLine);
}

QString checkAddonModule(const QString& dir, const QString& moduleName, const QString& requiredVersion)
{
    if (dir.isEmpty())
        return QString();
    const QString candidate = joinPath(dir, zandr::getLibFileName(moduleName));
    if (!QFileInfo::exists(candidate))
        return QString();
    static const ModuleVersion required = parseModuleVersion(requiredVersion);
    const ModuleVersion installed = readModuleVersion(dir, k_versionFile);
    return installed.major == required.major ? candidate : QString();
}

QString findAddonModulePath(const QString& dirName, const QString& moduleName, const QString& requiredVersion)
{
    QString pluginDir = QDir::toNativeSeparators(umpluginconfig::getPluginPath(dirName, QString()));
    if (pluginDir.isEmpty()) {
        UmPluginManager* manager = QCoreApplication::instance() ? UmCoreApplication::getPluginMgr() : nullptr;
        if (!manager)
            return QString();
        pluginDir = QDir::toNativeSeparators(manager->getPluginPath(dirName, true));
    }
    const QString frameworks = zandr::dirs::frameworks(QString(), nullptr);
    const QString installRoot = zandr::dirs::officeInstallRoot();

    // A plug-in inside the installation is a stale copy when the frameworks
    // live elsewhere: only the frameworks' add-on counts then.
    if (pluginDir.startsWith(installRoot, Qt::CaseSensitive) && !frameworks.startsWith(installRoot, Qt::CaseSensitive))
        return checkAddonModule(addonsDir(frameworks, dirName), moduleName, requiredVersion);

    const QString inPluginDir = checkAddonModule(pluginDir, moduleName, requiredVersion);
    if (!inPluginDir.isEmpty())
        return inPluginDir;
    if (!pluginDir.startsWith(frameworks, Qt::CaseSensitive))
        return checkAddonModule(addonsDir(frameworks, dirName), moduleName, requiredVersion);
    return QString();
}

OrvexCloudSkinProxy* cloudSkinProxy()
{
    // A loaded add-on without the entry gives none: a copy from disk would not be the host's skin.
    GetOrvexCloudSkinProxyFn entry = nullptr;
    if (!entryOfLoadedModule(entry))
        entry = entryFromDisk();
    return entry ? entry() : nullptr;
}
