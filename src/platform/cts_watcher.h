#pragma once

#include <atomic>
#include <functional>
#include <thread>

namespace marlume::platform {

// Waits in a thread of its own for the CTS line of an open serial device to change (TIOCMIWAIT) and
// tells of each change on that thread, so that nothing has to look at the line every tick. A device
// whose driver cannot wait (a pseudo-terminal) ends the thread at once. Stopped before the descriptor
// is closed: destruction interrupts the wait and joins the thread.
class CtsWatcher final {
public:
    CtsWatcher(int descriptor, std::function<void()> onChange);
    ~CtsWatcher();
    CtsWatcher(const CtsWatcher&) = delete;
    CtsWatcher& operator=(const CtsWatcher&) = delete;

private:
    void watch(int descriptor);

    std::function<void()> m_onChange;
    std::atomic<bool> m_stopping = false;
    std::atomic<bool> m_done = false;
    std::thread m_thread; // last: it starts once everything above exists
};

} // namespace marlume::platform
