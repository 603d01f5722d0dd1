#include "toasticon.h"

#include "umdrawhelper.h"

#include <QFileInfo>

QIcon loadToastIcon(const QString& spec)
{
    const QFileInfo info(spec);
    if (info.exists())
        return QIcon(spec);
    if (info.suffix().compare(QLatin1String("ico"), Qt::CaseInsensitive) == 0)
        return UmDrawHelper::loadIcoIcon(spec);
    if (spec.startsWith(QLatin1Char('.')))
        return UmDrawHelper::loadFileIconBySuffix(spec.mid(1), false, true);
    return UmDrawHelper::loadIcon(spec);
}
