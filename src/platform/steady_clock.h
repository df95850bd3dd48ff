#pragma once

#include "platform/clock.h"

namespace ordalis {

// The real clock: std::chrono::steady_clock, sleeping in the kernel.
class SteadyClock final : public Clock
{
public:
    std::int64_t nowMs() const override;
    void sleepMs(std::int64_t ms) override;
};

} // namespace ordalis
