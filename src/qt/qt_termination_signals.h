#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace marlume::qt {

// SIGTERM, SIGINT and SIGHUP become a request to end, delivered through the event loop of the
// thread that made this object, where it is safe to save and close: the signal handler itself
// only writes a byte to a pipe. SIGPIPE is ignored, so a reader that goes away is a write
// error, not the end of the program. One instance at a time; the default handlers come back
// when it goes.
class QtTerminationSignals final : public QObject {
    Q_OBJECT

public:
    explicit QtTerminationSignals(std::function<void()> onRequest);
    ~QtTerminationSignals() override;
    QtTerminationSignals(const QtTerminationSignals&) = delete;
    QtTerminationSignals& operator=(const QtTerminationSignals&) = delete;

    // Called first thing in main: the signals wait from then on until an instance takes them, so that one
    // that comes while the program starts up ends it as cleanly as any later one.
    static void holdBack();

private:
    void takeSignals();

    std::function<void()> m_onRequest;
    int m_pipe[2] { -1, -1 };
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace marlume::qt
