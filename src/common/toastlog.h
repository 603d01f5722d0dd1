#pragma once

#include <QString>
#include <QtGlobal>

// One line "call <where> : <message>" under the tag "vantor_feature:toast".
void logCall(const QString& where, const QString& message);

// Result checks, one line per failing call. Each answers true when the caller
// must stop, after writing the single log line of its convention.

// For calls that hand back an interface: a failure code, or success with a null out-pointer.
bool checkFailed(const QString& where, qint32 hr, const void* out);
// For calls without an out-pointer: only the failure half ("error result = %1").
bool checkFailed(const QString& where, qint32 hr);
// The short form of the event-handler code: "result = %1", no null check.
bool checkFailedShort(const QString& where, qint32 hr);

// What a stopped builder passes back: the failure code itself, or E_FAIL for a null out-pointer.
qint32 stopResult(qint32 hr);

// "error result = %1" with the result as a signed 32-bit decimal.
QString errorResultText(qint32 hr);
