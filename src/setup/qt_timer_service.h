#pragma once

#include "setup/timer_service.h"

namespace ordalis {

// The real timers, on QTimer.
class QtTimerService final : public TimerService
{
public:
    std::unique_ptr<IntervalTimer> createTimer(std::function<void()> onExpiry) override;
};

} // namespace ordalis
