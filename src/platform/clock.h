#pragma once

#include <cstdint>

namespace ordalis {

// Monotonic milliseconds. Nothing sleeps on it: every wait goes through the Waiter, which keeps
// the window alive, and tests run both on virtual time.
class Clock
{
public:
    virtual ~Clock() = default;

    // Milliseconds since an arbitrary fixed start; never goes backwards.
    virtual std::int64_t nowMs() const = 0;
};

} // namespace ordalis
