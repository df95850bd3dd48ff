#include "platform/waiter.h"

#include "platform/clock.h"

#include <QMetaObject>
#include <QObject>

#include <algorithm>

namespace ordalis {

Waiter::Waiter(Clock& clock) : m_clock(clock), m_releaser(std::make_unique<QObject>())
{
}

Waiter::~Waiter() = default;

bool Waiter::waitUntil(std::int64_t deadlineMs, const std::function<bool()>& ready)
{
    if (ready())
        return true;
    ++m_depth;
    dispatchPending();
    bool met = ready();
    while (!met && m_clock.nowMs() < deadlineMs) {
        waitForEvents(deadlineMs);
        met = ready();
    }
    --m_depth;
    if (m_depth == 0 && !m_held.empty())
        scheduleRelease();
    return met;
}

void Waiter::pause(std::int64_t ms)
{
    if (ms > 0)
        waitUntil(m_clock.nowMs() + ms, [] { return false; });
}

void Waiter::deliver(const void* owner, std::function<void()> work)
{
    if (!busy() && m_held.empty()) {
        work();
        return;
    }
    m_held.push_back({owner, std::move(work)});
}

void Waiter::forget(const void* owner)
{
    std::erase_if(m_held, [owner](const Held& held) { return held.owner == owner; });
}

void Waiter::releaseHeld()
{
    // Work that shows a box runs the box's own loop, which may come back here for the work held
    // after it, as any nested event loop would; a wait ended inside it schedules the rest.
    while (!m_held.empty() && !busy()) {
        Held next = std::move(m_held.front());
        m_held.pop_front();
        next.work();
    }
}

void Waiter::scheduleRelease()
{
    QMetaObject::invokeMethod(
        m_releaser.get(), [this] { releaseHeld(); }, Qt::QueuedConnection);
}

} // namespace ordalis
