// A host that calls its service back from inside every report, as real hosts
// do (hide what was dismissed, delete the service with its last toast), and
// the table of what each road must then answer and report.
#pragma once

#include "isystemnotifytoast.h"
#include "modulelibrary.h"

#include <QString>

#include <functional>

class QWidget;

// Columns road, trigger, op, heard, answers: one row per road (of those
// given: "native", "popup", "tray") x trigger x op, where op ("show", "update",
// "hide", "exists" or "delete") is what the host calls from inside each report.
void addCallbackRows(const QStringList& roads);

// Runs the current row on a new service of the module. The host's own hide and
// a popup's clicks are made here, through the popup's window; raise makes the
// platform's triggers (native events, a balloon click) and settle waits for
// the platform's events.
void runCallbackRow(ModuleLibrary& module, const std::function<bool(const QString& trigger)>& raise,
                    const std::function<bool()>& settle);

// As a user does it, through the last shown popup's window: "button N" (the first without N), "segment" (its
// clickable segment) or "close"; with "right button" in what, pressed with that; with "outside", released away from
// it. The time-out needs nothing.
bool clickPopup(const QString& what);

// The last shown top-level widget of that class, or null.
QWidget* shownWindow(const char* className);
