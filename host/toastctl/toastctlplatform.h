// What toastctl asks of the platform it runs on: Windows itself, or the
// simulation on other systems, which also has controls of its own.
#pragma once

#include <QString>
#include <QStringList>

namespace toastctl {

// True where the platform is the simulation, whose version can be pinned and
// whose in-memory delivery keeps the documents it received.
bool hasSimulationControls();

// Pins the Windows version the simulation reports ("X.Y.Z"); false with the error.
bool pinPlatformVersion(const QString& version, QString& error);

// The documents the in-memory delivery received, oldest first.
QStringList shownToastDocuments();

// Empty when a screen can be had; else why there is none. May leave Qt only
// the displays that answer.
QString noDisplayLeft();

// Whether the facade will pick native toasts for a service not drawn by the module.
bool nativeToastsExpected();

// As a host names itself to the shell, before the module is asked to.
bool setProcessAppId(const QString& id, QString& error);

// A host's own duty on its GUI thread: the module calls the runtime from there.
void initializeThread();

} // namespace toastctl
