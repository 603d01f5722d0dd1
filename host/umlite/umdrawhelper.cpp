#include "umdrawhelper.h"

#include "umskin.h"

#include <QFileInfo>
#include <QImageReader>
#include <QHash>
#include <QMimeDatabase>
#include <QMutex>
#include <QMutexLocker>

namespace {

// Resource icons are read once: a QIcon made from a file decodes it on the
// spot, and one shared icon also shares its cached pixmaps.
QIcon resourceIcon(const QString& name)
{
    static QMutex mutex;
    static QHash<QString, QIcon> cache;
    QMutexLocker lock(&mutex);
    auto it = cache.constFind(name);
    if (it != cache.constEnd())
        return it.value();
    // Resource files can be registered later, so misses are not remembered.
    if (!QFileInfo::exists(name))
        return QIcon();
    const QIcon icon(name);
    cache.insert(name, icon);
    return icon;
}

// The first resource among the candidates that exists, as an icon.
QIcon firstResourceIcon(const QStringList& candidates)
{
    for (const QString& name : candidates) {
        const QIcon icon = resourceIcon(name);
        if (!icon.isNull())
            return icon;
    }
    return QIcon();
}

QIcon themeIcon(const QString& name)
{
    if (name.isEmpty() || !QIcon::hasThemeIcon(name))
        return QIcon();
    return QIcon::fromTheme(name);
}

} // namespace

QIcon UmDrawHelper::loadIcon(const QString& name)
{
    if (name.isEmpty() || name.contains(QLatin1Char('/')))
        return QIcon();
    const QString theme = UmLiteSkin::currentThemeName();
    const QIcon fromSkin = firstResourceIcon({
        QStringLiteral(":/umlite/icons/%1/%2.png").arg(theme, name),
        QStringLiteral(":/umlite/icons/%1.png").arg(name),
        QStringLiteral(":/umlite/icons/%1.svg").arg(name),
    });
    if (!fromSkin.isNull())
        return fromSkin;
    return themeIcon(name);
}

QIcon UmDrawHelper::loadIcoIcon(const QString& path)
{
    const QFileInfo info(path);
    if (info.isFile()) {
        // A file that is not a readable image gives nothing rather than a blank icon.
        if (!QImageReader(path).canRead())
            return QIcon();
        return QIcon(path);
    }
    const QString baseName = info.completeBaseName().toLower();
    if (baseName.isEmpty())
        return QIcon();
    return firstResourceIcon({QStringLiteral(":/umlite/ico/%1.ico").arg(baseName)});
}

QIcon UmDrawHelper::loadFileIconBySuffix(const QString& suffix, bool large, bool fallbackToGeneric)
{
    QString key = suffix.trimmed().toLower();
    while (key.startsWith(QLatin1Char('.')))
        key.remove(0, 1);
    if (!key.isEmpty() && !key.contains(QLatin1Char('/'))) {
        QStringList candidates;
        if (large)
            candidates << QStringLiteral(":/umlite/filetypes/large/%1.png").arg(key);
        candidates << QStringLiteral(":/umlite/filetypes/%1.png").arg(key);
        const QIcon fromSkin = firstResourceIcon(candidates);
        if (!fromSkin.isNull())
            return fromSkin;

        const QMimeType type = QMimeDatabase().mimeTypeForFile(QStringLiteral("file.") + key,
                                                               QMimeDatabase::MatchExtension);
        if (!type.isDefault()) {
            QIcon fromTheme = themeIcon(type.iconName());
            if (fromTheme.isNull())
                fromTheme = themeIcon(type.genericIconName());
            if (!fromTheme.isNull())
                return fromTheme;
        }
    }
    if (!fallbackToGeneric)
        return QIcon();
    const QIcon generic = firstResourceIcon({
        QStringLiteral(":/umlite/filetypes/%1other.png").arg(large ? QStringLiteral("large/") : QString()),
        QStringLiteral(":/umlite/filetypes/other.png"),
    });
    return generic.isNull() ? themeIcon(QStringLiteral("text-x-generic")) : generic;
}
