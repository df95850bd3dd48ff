#include "tests/fakes/virtual_waiter.h"

#include "tests/fakes/fake_clock.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace ordalis {

VirtualWaiter::VirtualWaiter(FakeClock& clock) : Waiter(clock), m_fake(clock)
{
}

VirtualWaiter::~VirtualWaiter() = default;

void VirtualWaiter::pause(std::int64_t ms)
{
    if (ms > 0)
        m_fake.notePause(ms);
    Waiter::pause(ms);
}

void VirtualWaiter::waitForEvents(std::int64_t deadlineMs)
{
    const FakeClock::Dispatching dispatching(m_fake);
    std::int64_t next = deadlineMs;
    if (const std::optional<std::int64_t> wake = m_fake.nextWake())
        next = std::min(next, *wake);
    m_fake.advanceTo(next);
    ++m_waits;
    dispatchPending();
}

void VirtualWaiter::dispatchPending()
{
    const FakeClock::Dispatching dispatching(m_fake);
    // Hooks may add or remove hooks: walk a copy.
    const auto hooks = m_hooks;
    for (const auto& [owner, hook] : hooks)
        hook();
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace ordalis
