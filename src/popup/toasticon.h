#pragma once

#include <QIcon>
#include <QString>

// The icon named by iconName: an existing regular file, an .ico of the skin, ".suffix" for
// the icon of that file type, or else a named icon of the skin.
QIcon loadToastIcon(const QString& iconName);
