#include "toasticon.h"

#include "umdrawhelper.h"

#include <QFileInfo>

QIcon loadToastIcon(const QString& iconName)
{
    const QFileInfo info(iconName);
    // A FIFO or a device would block or feed the reader for good: only a
    // regular file is read, anything else counts as no file.
    if (info.isFile())
        return QIcon(iconName);
    if (info.suffix().compare(QLatin1String("ico"), Qt::CaseInsensitive) == 0)
        return UmDrawHelper::loadIcoIcon(iconName);
    if (iconName.startsWith(QLatin1Char('.')))
        return UmDrawHelper::loadFileIconBySuffix(iconName.mid(1), false, true);
    return UmDrawHelper::loadIcon(iconName);
}
