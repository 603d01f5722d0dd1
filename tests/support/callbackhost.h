// A host that calls its service back from inside every report, as real hosts
// do (hide what was dismissed, delete the service with its last toast), and
// the table of what each road must then answer and report.
#pragma once

#include "isystemnotifytoast.h"
#include "isystemnotifytoastlistener.h"
#include "modulelibrary.h"

#include <QStringList>

#include <functional>

class QWidget;

class CallbackHost : public ISystemNotifyToastListener
{
public:
    // op: "show", "update", "hide", "exists" or "delete", run on the
    // service from inside each report (a looping module stops at five).
    CallbackHost(ISystemNotifyToast* service, DeleteSystemNotifyToastFn destroy, const QString& op,
                 const QMap<int, QVariant>& request);

    void onToastActivated(quint64 toastId, int source, qint64 index, const QString& action) override;
    void onToastDismissed(quint64 toastId, int reason) override;
    void onToastFailed(quint64 toastId, int errorCode) override;

    quint64 toast = 0;   // the id the reports and calls back are about
    QStringList heard;   // the reports, in the order they came
    QStringList answers; // the service's answers to the calls back, in the order they returned
    ISystemNotifyToast* service() const { return m_service; } // null once deleted from a report

private:
    template<class Line>
    void report(quint64 toastId, Line line);

    ISystemNotifyToast* m_service;
    DeleteSystemNotifyToastFn m_destroy;
    QString m_op;
    QMap<int, QVariant> m_request;
};

// Columns road, trigger, op, heard, answers: one row per road (of those
// given: "native", "popup", "tray") x trigger x op.
void addCallbackRows(const QStringList& roads);

// Runs the current row on a new service of the module. The host's own hide and
// a popup's clicks are made here, through the popup's window; raise makes the
// platform's triggers (native events, a balloon click) and settle waits for
// the platform's events.
void runCallbackRow(ModuleLibrary& module, const std::function<bool(const QString& trigger)>& raise,
                    const std::function<bool()>& settle);

// The last shown top-level widget of that class, or null.
QWidget* shownWindow(const char* className);
