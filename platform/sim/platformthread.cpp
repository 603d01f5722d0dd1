#include "platformthread_p.h"

#include <winsim/control.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace {

class EventThread
{
public:
    EventThread() : m_thread([this] { run(); }) {}

    void post(std::function<void()> task)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_tasks.push_back(std::move(task));
        ++m_posted;
        m_wake.notify_all();
    }

    bool flush(int timeoutMs)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        const quint64 target = m_posted;
        return m_done.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return m_finished >= target; });
    }

    bool isCurrent() const { return std::this_thread::get_id() == m_thread.get_id(); }

private:
    void run()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return !m_tasks.empty(); });
            std::function<void()> task = std::move(m_tasks.front());
            m_tasks.pop_front();
            lock.unlock();
            task();
            task = nullptr; // whatever the task held is released here, on this thread
            lock.lock();
            ++m_finished;
            m_done.notify_all();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    std::deque<std::function<void()>> m_tasks;
    quint64 m_posted = 0;
    quint64 m_finished = 0;
    std::thread m_thread; // last: starts once the rest is ready
};

EventThread& eventThread()
{
    // Never destroyed: handlers may still be queued when the process exits.
    static EventThread* thread = new EventThread;
    return *thread;
}

} // namespace

namespace winsim {
namespace platformthread {

void post(std::function<void()> task)
{
    eventThread().post(std::move(task));
}

bool flush(int timeoutMs)
{
    if (eventThread().isCurrent())
        return false; // waiting for itself would never end
    return eventThread().flush(timeoutMs);
}

bool isCurrent()
{
    return eventThread().isCurrent();
}

} // namespace platformthread

namespace control {

bool waitForPlatformEvents(int timeoutMs)
{
    return platformthread::flush(timeoutMs);
}

bool isPlatformEventThread()
{
    return platformthread::isCurrent();
}

} // namespace control
} // namespace winsim
