#pragma once

#include "platform/clock.h"

#include <functional>
#include <vector>

namespace ordalis {

// Virtual time for tests: sleeping advances the time at once, so timed sequences cost
// no wall-clock time. Fakes of the ports use advanceTo() to jump to the next scripted event.
class FakeClock final : public Clock
{
public:
    explicit FakeClock(std::int64_t startMs = 1000) : m_now(startMs) { }

    std::int64_t nowMs() const override { return m_now; }
    void sleepMs(std::int64_t ms) override
    {
        if (ms > 0) {
            m_sleeps.push_back(ms);
            advanceTo(m_now + ms);
        }
    }

    // Moves the time forward (never back) and runs the callbacks due by then.
    void advanceTo(std::int64_t ms)
    {
        if (ms > m_now)
            m_now = ms;
        if (m_onAdvance)
            m_onAdvance(m_now);
    }
    void advanceBy(std::int64_t ms) { advanceTo(m_now + ms); }

    // Called after every advance; fakes of timers and ports hook in here.
    void setOnAdvance(std::function<void(std::int64_t)> hook) { m_onAdvance = std::move(hook); }

    // Every sleep asked for, in order: tests check the mandated pauses with it.
    const std::vector<std::int64_t>& sleeps() const { return m_sleeps; }
    void clearSleeps() { m_sleeps.clear(); }

private:
    std::int64_t m_now;
    std::vector<std::int64_t> m_sleeps;
    std::function<void(std::int64_t)> m_onAdvance;
};

} // namespace ordalis
