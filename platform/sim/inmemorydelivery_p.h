// The delivery back end used unless another is installed: it keeps what was
// shown for inspection and lets tests raise each toast's outcomes.
#pragma once

#include <winsim/control.h>
#include <winsim/delivery.h>

#include <mutex>
#include <QVector>

namespace winsim {

class InMemoryDelivery : public DeliveryBackend
{
public:
    void show(const ToastDelivery& toast, const std::shared_ptr<ToastEventSink>& sink) override;
    void hide(quint64 key) override;

    QVector<control::ShownToast> shown() const;
    void clear();
    // The sink of a shown toast, or null; ends its time on screen when asked to.
    std::shared_ptr<ToastEventSink> sinkOf(quint64 key, bool leavesScreen);

private:
    struct Entry
    {
        control::ShownToast toast;
        std::shared_ptr<ToastEventSink> sink;
    };

    mutable std::mutex m_mutex;
    QVector<Entry> m_entries;
};

} // namespace winsim
