#include "umcoreapplication.h"
#include "umpluginconfig.h"
#include "umpluginmanager.h"
#include "umplugintesting.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>

#include <atomic>

namespace {

struct PluginConfig {
    QMutex mutex;
    QMap<QString, QString> paths;
    std::atomic<int> lookups{0};
    std::atomic<UmPluginManager*> manager{nullptr};
};

PluginConfig& config()
{
    static PluginConfig c;
    return c;
}

QString defaultPluginPath(const QString& name)
{
    if (name.isEmpty() || !QCoreApplication::instance())
        return QString();
    const QFileInfo dir(QCoreApplication::applicationDirPath() + QStringLiteral("/../addons/") + name);
    return dir.isDir() ? dir.canonicalFilePath() : QString();
}

} // namespace

QString umpluginconfig::getPluginPath(const QString& name, const QString&)
{
    PluginConfig& c = config();
    ++c.lookups;
    {
        QMutexLocker lock(&c.mutex);
        auto it = c.paths.constFind(name);
        if (it != c.paths.constEnd())
            return it.value();
    }
    return defaultPluginPath(name);
}

void umpluginconfig::testing::setPluginPath(const QString& name, const QString& dir)
{
    QMutexLocker lock(&config().mutex);
    config().paths.insert(name, dir);
}

void umpluginconfig::testing::clearPluginPaths()
{
    QMutexLocker lock(&config().mutex);
    config().paths.clear();
}

int umpluginconfig::testing::lookups()
{
    return config().lookups.load();
}

UmPluginManager::UmPluginManager() = default;

UmPluginManager::~UmPluginManager()
{
    UmPluginManager* self = this;
    config().manager.compare_exchange_strong(self, nullptr);
}

QString UmPluginManager::getPluginPath(const QString& name, bool includeInstalled) const
{
    auto it = m_plugins.constFind(name);
    if (it == m_plugins.constEnd())
        return QString();
    if (!it->loaded && !includeInstalled)
        return QString();
    return it->dir;
}

void UmPluginManager::addPlugin(const QString& name, const QString& dir, bool loaded)
{
    m_plugins.insert(name, Entry{dir, loaded});
}

UmPluginManager* UmCoreApplication::getPluginMgr()
{
    if (!QCoreApplication::instance())
        return nullptr;
    return config().manager.load();
}

void UmCoreApplication::setPluginMgr(UmPluginManager* manager)
{
    config().manager.store(manager);
}
