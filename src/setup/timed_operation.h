#pragma once

#include <cstdint>

namespace ordalis {

class CTavrinApp;

// The progress box's timer, which paces every timed operation.
inline constexpr int kStepTickMs = 500;

// What a tick's work may do to whatever shows the operation's progress.
class StepProgress
{
public:
    virtual void advanceBar() = 0;

protected:
    ~StepProgress() = default;
};

// What one tick of the progress box works with. The work may change the step (to skip
// steps or to end after this tick), advance the bar further and clear ok to end the box
// with failure.
struct StepContext
{
    CTavrinApp& app;
    StepProgress& box;
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

// The work of one tick after the bar has moved: runs the step, moves the step on and tells
// whether the operation ends after this tick (context.ok then tells how); an ending sets the
// step back to 0.
inline bool RunTimedStep(const TimedOperation& operation, StepContext& context)
{
    if (operation.work)
        operation.work(context);
    const std::uint8_t ran = context.step;
    context.step = static_cast<std::uint8_t>(ran + 1);
    if (ran > operation.limit || !context.ok) {
        context.step = 0;
        return true;
    }
    return false;
}

} // namespace ordalis
