#pragma once

#include "platform/waiter.h"

#include <QTimer>

namespace ordalis {

// The real waiter: a nested event loop that leaves the operator's input queued. It sleeps in the
// event dispatcher (the kernel's poll) until an event comes or a precise timer wakes it at the
// deadline, so the window repaints and the accessibility bus is answered while the program waits.
class EventLoopWaiter : public Waiter
{
public:
    explicit EventLoopWaiter(Clock& clock);
    ~EventLoopWaiter() override;

protected:
    void waitForEvents(std::int64_t deadlineMs) override;

private:
    QTimer m_wake;
};

} // namespace ordalis
