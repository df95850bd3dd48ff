#pragma once

#include <cstdint>

namespace ordalis {

// Monotonic milliseconds and sleeping. Everything that waits on time goes through this,
// so tests can run it on virtual time.
class Clock
{
public:
    virtual ~Clock() = default;

    // Milliseconds since an arbitrary fixed start; never goes backwards.
    virtual std::int64_t nowMs() const = 0;

    // Blocks the calling thread for ms milliseconds (0 or less returns at once).
    virtual void sleepMs(std::int64_t ms) = 0;
};

} // namespace ordalis
