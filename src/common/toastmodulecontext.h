#pragma once

#include <QString>
#include <QtGlobal>

class UmSkin;

// Process-wide state shared by every service object: toast ids and the skin.
class ToastModuleContext
{
public:
    static ToastModuleContext* instance();

    // Ids count up from a value taken from the clock at creation; never 0.
    quint64 nextToastId();
    UmSkin* skin() const;
    void registerRccSource(const QString& path);

    // The first counter value for a clock reading: seconds since the reference
    // date on 32 bits, masked to 30.
    static quint64 seedAt(qint64 nowSecsSinceEpoch);

    // instance() uses the current time; tests build contexts at any time they like.
    explicit ToastModuleContext(qint64 nowSecsSinceEpoch);

private:
    Q_DISABLE_COPY(ToastModuleContext)

    UmSkin* m_skin;
    quint64 m_counter;
};
