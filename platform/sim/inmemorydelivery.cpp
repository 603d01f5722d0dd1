#include "inmemorydelivery_p.h"


namespace winsim {

void InMemoryDelivery::show(const ToastDelivery& toast, const std::shared_ptr<ToastEventSink>& sink)
{
    Entry entry;
    entry.toast.key = toast.key;
    entry.toast.appUserModelId = toast.appUserModelId;
    entry.toast.xml = toast.xml;
    entry.toast.onScreen = true;
    entry.sink = sink;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_entries.append(entry);
}

void InMemoryDelivery::hide(quint64 key)
{
    std::shared_ptr<ToastEventSink> sink = sinkOf(key, true);
    if (sink)
        sink->dismissed(1); // ApplicationHidden, as Windows reports a Hide
}

QVector<control::ShownToast> InMemoryDelivery::shown() const
{
    QVector<control::ShownToast> result;
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const Entry& entry : m_entries)
        result.append(entry.toast);
    return result;
}

void InMemoryDelivery::clear()
{
    QVector<Entry> dropped;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        dropped.swap(m_entries);
    }
    // The sinks are released outside the lock: they may hold the last reference
    // to a notification.
}

std::shared_ptr<ToastEventSink> InMemoryDelivery::sinkOf(quint64 key, bool leavesScreen)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (Entry& entry : m_entries) {
        if (entry.toast.key != key)
            continue;
        if (leavesScreen)
            entry.toast.onScreen = false;
        return entry.sink;
    }
    return nullptr;
}

} // namespace winsim
