// What a test can ask of the dunst that scripts/with-desktop.sh started, and
// what it can do to it, the way a user or the desktop would.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <QVector>

namespace dunst {

// Runs a program to its end; false (with a warning) when it fails.
bool run(const QString& program, const QStringList& arguments, QByteArray* output = nullptr);
bool ctl(const QString& command);

// Toasts dunst holds, on screen or queued; -1 when it does not answer.
int holds();

// Closed toasts, newest first, as {field: value} of `dunstctl history`.
QVector<QVariantMap> history();

// The next context menu picks the first entry containing `text`.
bool pickNext(const QString& text);
// What dunst last offered in its context menu.
QString lastMenu();

// SIGKILL to the process owning the notification name; waits until the name is free.
bool killServer();
// Starts dunst again and waits for it to own the name.
bool startServer();
bool serverOnBus();

} // namespace dunst
