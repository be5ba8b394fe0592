#include "platform/ordered_task_thread.h"

#include <utility>

namespace marlume::platform {

OrderedTaskThread::OrderedTaskThread()
    : m_thread([this] { run(); })
{
}

OrderedTaskThread::~OrderedTaskThread()
{
    {
        const std::scoped_lock lock(m_mutex);
        m_ending = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void OrderedTaskThread::post(std::function<void()> task)
{
    {
        const std::scoped_lock lock(m_mutex);
        m_tasks.push_back(std::move(task));
    }
    m_changed.notify_all();
}

void OrderedTaskThread::waitUntilIdle()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_tasks.empty() && !m_running; });
}

void OrderedTaskThread::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return !m_tasks.empty() || m_ending; });
        if (m_tasks.empty())
            return; // ending, with nothing left to do
        std::function<void()> task = std::move(m_tasks.front());
        m_tasks.pop_front();
        m_running = true;
        lock.unlock();
        task();
        lock.lock();
        m_running = false;
        m_changed.notify_all();
    }
}

} // namespace marlume::platform
