#pragma once

#include <winsim/delivery.h>

#include <QMutex>
#include <QStringList>
#include <QThread>
#include <QVector>

// Writes down what became of a toast, each outcome as one short line
// ("activated ARGS", "dismissed REASON", "failed 0xHRESULT") and its thread.
class RecordingSink : public winsim::ToastEventSink
{
public:
    void activated(const QString& arguments) override;
    void dismissed(int reason) override;
    void failed(int hresult) override;

    QStringList lines() const;
    QVector<QThread*> threads() const;

    static QString failure(int hresult);

private:
    void record(const QString& line);
    mutable QMutex m_mutex;
    QStringList m_lines;
    QVector<QThread*> m_threads;
};
