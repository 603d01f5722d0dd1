#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

class QPainter;
class QWidget;

namespace umlite {
// The device pixel ratio of what painter paints on: a window's backing store,
// or an image a widget is rendered into.
qreal paintedRatio(const QPainter& painter, const QWidget* widget);

// icon at size (logical pixels) for ratio, taken from its largest source that
// is no smaller than the device pixels needed and scaled to fit, so that
// nothing is drawn pixel-doubled where the icon has the artwork.
QPixmap devicePixmap(const QIcon& icon, const QSize& size, qreal ratio, QIcon::Mode mode);
} // namespace umlite
