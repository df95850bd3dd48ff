#include "platform/event_loop_waiter.h"

#include "platform/clock.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <algorithm>
#include <climits>

namespace ordalis {

EventLoopWaiter::EventLoopWaiter(Clock& clock) : Waiter(clock)
{
    m_wake.setSingleShot(true);
    m_wake.setTimerType(Qt::PreciseTimer);
}

EventLoopWaiter::~EventLoopWaiter() = default;

void EventLoopWaiter::waitForEvents(std::int64_t deadlineMs)
{
    const std::int64_t left = deadlineMs - clock().nowMs();
    if (left <= 0)
        return;
    // The timer only wakes the dispatcher; every other event wakes it too.
    m_wake.start(static_cast<int>(std::min<std::int64_t>(left, INT_MAX)));
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::ExcludeUserInputEvents);
    m_wake.stop();
}

} // namespace ordalis
