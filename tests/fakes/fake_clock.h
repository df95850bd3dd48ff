#pragma once

#include "platform/clock.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace ordalis {

// Virtual time for tests: time moves only when a fake waiter, the virtual timers or the test move
// it, so timed sequences cost no wall-clock time. The fakes of ports and peers tell the clock
// when their next scripted event falls, so a wait wakes exactly then. The clock also keeps the
// longest stretch of time that passed without the event dispatcher running (a wait outside the
// waiter would freeze the window for that long).
class FakeClock final : public Clock
{
public:
    explicit FakeClock(std::int64_t startMs = 1000) : m_now(startMs), m_lastDispatch(startMs) { }

    std::int64_t nowMs() const override { return m_now; }

    // Moves the time forward (never back).
    void advanceTo(std::int64_t ms)
    {
        if (ms <= m_now)
            return;
        m_now = ms;
        if (m_dispatching > 0)
            m_lastDispatch = m_now;
        m_longestStall = std::max(m_longestStall, m_now - m_lastDispatch);
    }
    void advanceBy(std::int64_t ms) { advanceTo(m_now + ms); }

    // Time moved inside this scope is spent in the event dispatcher (a waiter's wait, the event
    // loop between handlers).
    class Dispatching
    {
    public:
        explicit Dispatching(FakeClock& clock) : m_clock(clock)
        {
            ++m_clock.m_dispatching;
            m_clock.m_lastDispatch = m_clock.m_now;
        }
        ~Dispatching()
        {
            --m_clock.m_dispatching;
            m_clock.m_lastDispatch = m_clock.m_now;
        }
        Dispatching(const Dispatching&) = delete;
        Dispatching& operator=(const Dispatching&) = delete;

    private:
        FakeClock& m_clock;
    };
    std::int64_t longestStallMs() const { return m_longestStall; }
    void resetStall()
    {
        m_longestStall = 0;
        m_lastDispatch = m_now;
    }

    // A fake's scheduled events: source(after) gives the first time later than after at which it
    // has something to deliver, if any.
    using WakeSource = std::function<std::optional<std::int64_t>(std::int64_t after)>;
    void addWakeSource(const void* owner, WakeSource source) { m_wakeSources[owner] = std::move(source); }
    void removeWakeSource(const void* owner) { m_wakeSources.erase(owner); }
    std::optional<std::int64_t> nextWake() const
    {
        std::optional<std::int64_t> next;
        for (const auto& [owner, source] : m_wakeSources) {
            const std::optional<std::int64_t> at = source(m_now);
            if (at && *at > m_now && (!next || *at < *next))
                next = at;
        }
        return next;
    }

    // Every pause the program asked for, in order: tests check the mandated pauses with it.
    void notePause(std::int64_t ms) { m_sleeps.push_back(ms); }
    const std::vector<std::int64_t>& sleeps() const { return m_sleeps; }
    void clearSleeps() { m_sleeps.clear(); }

private:
    std::int64_t m_now;
    std::int64_t m_lastDispatch;
    std::int64_t m_longestStall = 0;
    int m_dispatching = 0;
    std::map<const void*, WakeSource> m_wakeSources;
    std::vector<std::int64_t> m_sleeps;
};

} // namespace ordalis
