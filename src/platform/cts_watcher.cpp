#include "platform/cts_watcher.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <mutex>
#include <utility>

#include <pthread.h>
#include <sys/ioctl.h>

namespace marlume::platform {

namespace {

// Interrupts the wait: a handler that does nothing, installed without SA_RESTART so that the ioctl
// returns with EINTR.
constexpr int kInterruptSignal = SIGUSR2;

extern "C" void ignoreInterrupt(int) { }

void installInterruptHandler()
{
    static std::once_flag installed;
    std::call_once(installed, [] {
        struct sigaction action { };
        action.sa_handler = &ignoreInterrupt;
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0;
        ::sigaction(kInterruptSignal, &action, nullptr);
    });
}

} // namespace

CtsWatcher::CtsWatcher(int descriptor, std::function<void()> onChange)
    : m_onChange(std::move(onChange))
    , m_thread([this, descriptor] { watch(descriptor); })
{
    installInterruptHandler();
}

CtsWatcher::~CtsWatcher()
{
    m_stopping = true;
    // The signal may come just before the thread enters the wait, so it is sent until the thread is done.
    while (!m_done) {
        ::pthread_kill(m_thread.native_handle(), kInterruptSignal);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    m_thread.join();
}

void CtsWatcher::watch(int descriptor)
{
    while (!m_stopping) {
        if (::ioctl(descriptor, TIOCMIWAIT, TIOCM_CTS) == 0) {
            m_onChange();
        } else if (errno != EINTR) {
            break; // no such wait on this device, or the device has gone
        }
    }
    m_done = true;
}

} // namespace marlume::platform
