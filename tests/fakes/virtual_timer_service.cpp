#include "tests/fakes/virtual_timer_service.h"

#include "platform/waiter.h"
#include "tests/fakes/fake_clock.h"

#include <algorithm>

namespace ordalis {

class VirtualTimerService::Timer final : public IntervalTimer
{
public:
    Timer(VirtualTimerService& service, int id) : m_service(service), m_id(id) { }
    ~Timer() override { m_service.remove(m_id); }

    void start(int periodMs) override { m_service.start(m_id, periodMs); }
    void stop() override { m_service.stop(m_id); }
    bool isActive() const override { return m_service.isActive(m_id); }

private:
    VirtualTimerService& m_service;
    int m_id;
};

VirtualTimerService::VirtualTimerService(FakeClock& clock, Waiter& waiter) : m_clock(clock), m_waiter(waiter)
{
}

void VirtualTimerService::idleTo(std::int64_t ms)
{
    // The event loop sleeps between handlers, after running what a finished wait held.
    const FakeClock::Dispatching dispatching(m_clock);
    if (!m_waiter.busy())
        m_waiter.releaseHeld();
    m_clock.advanceTo(ms);
}

VirtualTimerService::~VirtualTimerService() = default;

std::unique_ptr<IntervalTimer> VirtualTimerService::createTimer(std::function<void()> onExpiry)
{
    const int id = m_nextId++;
    m_slots[id].onExpiry = std::move(onExpiry);
    return std::make_unique<Timer>(*this, id);
}

void VirtualTimerService::start(int id, int periodMs)
{
    Slot& slot = m_slots[id];
    slot.active = true;
    slot.period = std::max(periodMs, 1);
    slot.anchor = m_clock.nowMs();
    slot.due = slot.anchor + slot.period;
}

void VirtualTimerService::stop(int id)
{
    if (auto it = m_slots.find(id); it != m_slots.end())
        it->second.active = false;
}

bool VirtualTimerService::isActive(int id) const
{
    const auto it = m_slots.find(id);
    return it != m_slots.end() && it->second.active;
}

void VirtualTimerService::remove(int id)
{
    m_slots.erase(id);
}

int VirtualTimerService::activeTimers() const
{
    return static_cast<int>(
        std::count_if(m_slots.begin(), m_slots.end(), [](const auto& entry) { return entry.second.active; }));
}

int VirtualTimerService::nextDue(std::int64_t limitMs) const
{
    int best = 0;
    std::int64_t bestDue = 0;
    for (const auto& [id, slot] : m_slots) {
        if (slot.active && slot.due <= limitMs && (best == 0 || slot.due < bestDue)) {
            best = id;
            bestDue = slot.due;
        }
    }
    return best;
}

void VirtualTimerService::fire(int id)
{
    const std::int64_t at = std::max(m_slots.at(id).due, m_clock.nowMs());
    idleTo(at);
    // What the waiter held may have stopped or destroyed timers.
    const auto found = m_slots.find(id);
    if (found == m_slots.end() || !found->second.active)
        return;
    Slot& slot = found->second;
    // Next expiry on the timer's own grid, strictly after this one.
    slot.due = slot.anchor + ((at - slot.anchor) / slot.period + 1) * slot.period;

    // The handler may stop or destroy its own timer, or others: keep a copy and look
    // the slot up again afterwards.
    const std::function<void()> onExpiry = slot.onExpiry;
    onExpiry();

    const auto it = m_slots.find(id);
    if (it != m_slots.end() && it->second.active && it->second.due <= m_clock.nowMs())
        it->second.due = m_clock.nowMs(); // fell due while the handler ran: once, at once
}

void VirtualTimerService::advanceBy(std::int64_t ms)
{
    const std::int64_t target = m_clock.nowMs() + std::max<std::int64_t>(ms, 0);
    while (const int id = nextDue(target))
        fire(id);
    idleTo(target);
}

bool VirtualTimerService::advanceUntil(const std::function<bool()>& done, std::int64_t maxMs)
{
    const std::int64_t deadline = m_clock.nowMs() + std::max<std::int64_t>(maxMs, 0);
    while (!done()) {
        const int id = nextDue(deadline);
        if (id == 0) {
            idleTo(deadline);
            break;
        }
        fire(id);
    }
    return done();
}

} // namespace ordalis
