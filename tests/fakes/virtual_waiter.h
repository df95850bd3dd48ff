#pragma once

#include "platform/waiter.h"

#include <functional>
#include <map>

namespace ordalis {

class FakeClock;

// The waiter on virtual time. A wait jumps the clock to the next scripted event or its deadline,
// whichever comes first, delivering the fakes' events and Qt's own (paints, posted calls, but no
// user input) at every step, as the event dispatcher would.
class VirtualWaiter final : public Waiter
{
public:
    explicit VirtualWaiter(FakeClock& clock);
    ~VirtualWaiter() override;

    void pause(std::int64_t ms) override;

    // Called at every step of a wait: the fake networks deliver their connections' events here.
    void addDispatchHook(const void* owner, std::function<void()> hook) { m_hooks[owner] = std::move(hook); }
    void removeDispatchHook(const void* owner) { m_hooks.erase(owner); }

    // How many steps of waiting there were.
    int waits() const { return m_waits; }

protected:
    void dispatchPending() override;
    void waitForEvents(std::int64_t deadlineMs) override;

private:
    FakeClock& m_fake;
    std::map<const void*, std::function<void()>> m_hooks;
    int m_waits = 0;
};

} // namespace ordalis
