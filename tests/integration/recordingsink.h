#pragma once

#include <winsim/delivery.h>

#include <QMutex>
#include <QStringList>

// What became of a toast, one short line per outcome; called on the back end's thread.
class RecordingSink : public winsim::ToastEventSink
{
public:
    static QString failure(int hresult);

    void activated(const QString& arguments) override;
    void dismissed(int reason) override;
    void failed(int hresult) override;

    QStringList lines() const;

private:
    void record(const QString& line);

    mutable QMutex m_mutex;
    QStringList m_lines;
};
