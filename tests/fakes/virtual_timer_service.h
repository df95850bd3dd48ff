#pragma once

#include "platform/timer_service.h"

#include <cstdint>
#include <map>

namespace ordalis {

class FakeClock;
class Waiter;

// Timers on virtual time for tests: nothing fires until the test moves the FakeClock on
// through advanceBy() or advanceUntil(). A timer that falls due while a handler holds the
// clock (an exchange or a sleep inside it) fires once as soon as the handler returns, then
// keeps to its period, as a window timer does. The service must outlive its timers.
class VirtualTimerService final : public TimerService
{
public:
    VirtualTimerService(FakeClock& clock, Waiter& waiter);
    ~VirtualTimerService() override;

    std::unique_ptr<IntervalTimer> createTimer(std::function<void()> onExpiry) override;

    // Moves the clock forward by ms, firing every expiry on the way in time order.
    void advanceBy(std::int64_t ms);

    // Fires expiries one by one until done() holds or maxMs of virtual time have passed;
    // returns done().
    bool advanceUntil(const std::function<bool()>& done, std::int64_t maxMs);

    int activeTimers() const;

private:
    class Timer;
    struct Slot
    {
        std::function<void()> onExpiry;
        bool active = false;
        std::int64_t period = 0;
        std::int64_t anchor = 0; // start time: expiries fall on anchor + k * period
        std::int64_t due = 0;
    };

    void start(int id, int periodMs);
    void stop(int id);
    bool isActive(int id) const;
    void remove(int id);

    // The active slot due first, if it falls due by limitMs; 0 when none.
    int nextDue(std::int64_t limitMs) const;
    void fire(int id);

    void idleTo(std::int64_t ms);

    FakeClock& m_clock;
    Waiter& m_waiter;
    std::map<int, Slot> m_slots;
    int m_nextId = 1;
};

} // namespace ordalis
