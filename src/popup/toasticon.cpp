#include "toasticon.h"

#include "umdrawhelper.h"

#include <QFileInfo>

QIcon loadToastIcon(const QString& iconName)
{
    const QFileInfo info(iconName);
    if (info.exists())
        return QIcon(iconName);
    if (info.suffix().compare(QLatin1String("ico"), Qt::CaseInsensitive) == 0)
        return UmDrawHelper::loadIcoIcon(iconName);
    if (iconName.startsWith(QLatin1Char('.')))
        return UmDrawHelper::loadFileIconBySuffix(iconName.mid(1), false, true);
    return UmDrawHelper::loadIcon(iconName);
}
