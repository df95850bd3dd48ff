#pragma once

#include "platform/clock.h"

namespace ordalis {

// The real monotonic clock.
class SteadyClock final : public Clock
{
public:
    std::int64_t nowMs() const override;
};

} // namespace ordalis
