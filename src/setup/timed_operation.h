#pragma once

#include <cstdint>

namespace ordalis {

class CProcessbox;
class CTavrinApp;

// What one tick of the progress box works with. The work may change the step (to skip
// steps or to end after this tick), advance the bar further and clear ok to end the box
// with failure.
struct StepContext
{
    CTavrinApp& app;
    CProcessbox& box;
    std::uint8_t& step;
    bool ok = true;
};

using StepFunction = void (*)(StepContext&);

// A timed operation: the box ends after the tick whose step is above limit, or after a tick
// that cleared ok. No work function: the ticks only pace the operation and send nothing.
struct TimedOperation
{
    std::uint8_t limit = 0;
    StepFunction work = nullptr;
};

// The work of the box's ticks by case. Power on and off only wait; the auto setup fills in
// its chain steps and its one-display-per-tick steps.
struct TimedStepTable
{
    TimedOperation power {8, nullptr};
    TimedOperation chain {10, nullptr};
    TimedOperation perDisplay {100, nullptr};
};

// Kept outside the box so that it survives from one tick to the next and between boxes.
struct ProcessboxState
{
    std::uint8_t step = 0; // the step the next tick runs; 0 whenever a box ends
    bool busy = false; // a tick is being handled
};

} // namespace ordalis
