#pragma once

#include "platform/timer_service.h"

namespace ordalis {

class Waiter;

// Window timers on QTimer. An expiry that comes while the program waits is held by the waiter
// and handled once after the wait, however many periods passed meanwhile.
class QtTimerService final : public TimerService
{
public:
    explicit QtTimerService(Waiter& waiter) : m_waiter(waiter) { }

    std::unique_ptr<IntervalTimer> createTimer(std::function<void()> onExpiry) override;

private:
    Waiter& m_waiter;
};

} // namespace ordalis
