#include "freedesktopbackend.h"

#include "freedesktopchannel.h"

namespace winsim {

FreedesktopBackend::FreedesktopBackend(int callTimeoutMs)
    : m_channel(new FreedesktopChannel(callTimeoutMs))
{
    m_thread.setObjectName(QStringLiteral("winsim-freedesktop"));
    m_channel->moveToThread(&m_thread);
    m_thread.start();
    FreedesktopChannel* channel = m_channel;
    QMetaObject::invokeMethod(m_channel, [channel] { channel->open(); }, Qt::QueuedConnection);
}

FreedesktopBackend::~FreedesktopBackend()
{
    // The connection's notifiers belong to the thread: closed there.
    FreedesktopChannel* channel = m_channel;
    QMetaObject::invokeMethod(m_channel, [channel] { channel->close(); }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
    // The thread has ended, so the channel can go from here.
    delete m_channel;
}

void FreedesktopBackend::show(const ToastDelivery& toast, const std::shared_ptr<ToastEventSink>& sink)
{
    FreedesktopChannel* channel = m_channel;
    QMetaObject::invokeMethod(m_channel, [channel, toast, sink] { channel->show(toast, sink); }, Qt::QueuedConnection);
}

void FreedesktopBackend::hide(quint64 key)
{
    FreedesktopChannel* channel = m_channel;
    QMetaObject::invokeMethod(m_channel, [channel, key] { channel->hide(key); }, Qt::QueuedConnection);
}

} // namespace winsim
