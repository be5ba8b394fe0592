#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <cerrno>

namespace marlume::testing {

// While it lives, stands in for a window's event loop, whose own sockets leave EAGAIN in errno before Qt
// reads a port.
class StaleAgainInErrno final : public QObject {
public:
    StaleAgainInErrno() { QCoreApplication::instance()->installEventFilter(this); }
    ~StaleAgainInErrno() override { QCoreApplication::instance()->removeEventFilter(this); }
    StaleAgainInErrno(const StaleAgainInErrno&) = delete;
    StaleAgainInErrno& operator=(const StaleAgainInErrno&) = delete;

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override
    {
        if (event->type() == QEvent::SockAct)
            errno = EAGAIN;
        return false;
    }
};

} // namespace marlume::testing
