// What a test can ask of the dunst that scripts/with-desktop.sh started, and
// what it can do there the way a user would.
#pragma once

#include <QString>
#include <QVariantMap>
#include <QVector>

namespace dunst {

// Runs `dunstctl COMMAND`, keeping what it printed; false (with a warning) when it fails.
bool ctl(const QString& command, QByteArray* output = nullptr);

// Toasts dunst holds, on screen or queued; -1 when it does not answer.
int holds();

// Closed toasts, newest first, as {field: value} of `dunstctl history`.
QVector<QVariantMap> history();

} // namespace dunst
