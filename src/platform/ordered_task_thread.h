#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace marlume::platform {

// One thread that runs tasks one after the other, in the order they were posted. Destroying
// it runs what is still queued before the thread ends, so nothing posted is dropped.
class OrderedTaskThread final {
public:
    OrderedTaskThread();
    ~OrderedTaskThread();
    OrderedTaskThread(const OrderedTaskThread&) = delete;
    OrderedTaskThread& operator=(const OrderedTaskThread&) = delete;

    void post(std::function<void()> task);
    // Blocks until every task posted so far has run.
    void waitUntilIdle();

private:
    void run();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::function<void()>> m_tasks;
    bool m_running = false; // a task is running now
    bool m_ending = false;
    std::thread m_thread; // last: it starts once everything above exists
};

} // namespace marlume::platform
