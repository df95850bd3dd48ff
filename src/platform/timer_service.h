#pragma once

#include <functional>
#include <memory>

namespace ordalis {

// One periodic timer of a window (its "timer 1"): expiries are delivered on the GUI thread
// between other events, never inside a handler that is still running.
class IntervalTimer
{
public:
    virtual ~IntervalTimer() = default;

    virtual void start(int periodMs) = 0; // (re)starts with a full period
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
};

// Makes the timers of pages and dialogs, so tests can run them on virtual time.
class TimerService
{
public:
    virtual ~TimerService() = default;

    // The timer calls onExpiry on every expiry until stopped or destroyed.
    virtual std::unique_ptr<IntervalTimer> createTimer(std::function<void()> onExpiry) = 0;
};

} // namespace ordalis
