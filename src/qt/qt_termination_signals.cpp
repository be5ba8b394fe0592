#include "qt/qt_termination_signals.h"

#include <QSocketNotifier>

#include <array>
#include <csignal>
#include <utility>

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

namespace marlume::qt {

namespace {

constexpr std::array kTerminationSignals { SIGTERM, SIGINT, SIGHUP };

// The pipe's write end, for the handler; -1 while no instance exists.
volatile std::sig_atomic_t g_signalPipe = -1;

extern "C" void noteSignal(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    // A full pipe already holds a request: nothing is lost by dropping this one.
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe, &byte, 1);
    errno = savedErrno;
}

sigset_t terminationSignals()
{
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : kTerminationSignals)
        sigaddset(&set, signal);
    return set;
}

void setHandler(int signal, void (*handler)(int))
{
    struct sigaction action { };
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(signal, &action, nullptr);
}

} // namespace

QtTerminationSignals::QtTerminationSignals(std::function<void()> onRequest)
    : m_onRequest(std::move(onRequest))
{
    const sigset_t held = terminationSignals();
    if (::pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        ::pthread_sigmask(SIG_UNBLOCK, &held, nullptr);
        return; // no pipe: the signals keep their default, ending the program at once
    }
    g_signalPipe = m_pipe[1];
    m_notifier = new QSocketNotifier(m_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &QtTerminationSignals::takeSignals);
    for (const int signal : kTerminationSignals)
        setHandler(signal, &noteSignal);
    setHandler(SIGPIPE, SIG_IGN);
    ::pthread_sigmask(SIG_UNBLOCK, &held, nullptr); // one that waited is handled now
}

void QtTerminationSignals::holdBack()
{
    const sigset_t held = terminationSignals();
    ::pthread_sigmask(SIG_BLOCK, &held, nullptr);
}

QtTerminationSignals::~QtTerminationSignals()
{
    if (m_pipe[0] < 0)
        return;
    for (const int signal : kTerminationSignals)
        setHandler(signal, SIG_DFL);
    g_signalPipe = -1;
    ::close(m_pipe[0]);
    ::close(m_pipe[1]);
}

void QtTerminationSignals::takeSignals()
{
    std::array<char, 64> bytes {};
    while (::read(m_pipe[0], bytes.data(), bytes.size()) > 0) { }
    if (m_onRequest)
        m_onRequest();
}

} // namespace marlume::qt
