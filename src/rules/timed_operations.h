#pragma once

#include "rules/step_sequence.h"

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

// What the steps of a timed operation work with.
struct TimedContext
{
    CTavrinApp& app;
    StepProgress& progress;
};

// A timed operation as the progress box shows and runs it: its texts and its steps, one a tick.
struct TimedOperation
{
    const char* title;
    const char* message;
    StepTable<TimedContext> steps;
};

// Kept outside the box so that it survives from one tick to the next and between boxes.
struct ProcessboxState
{
    std::uint8_t step = 0; // the step the next tick runs; 0 whenever a box ends
    bool busy = false; // a tick is being handled
};

// Power on and off send nothing from the box: its ten ticks give the displays their 5 s.
const TimedOperation& powerOnOperation();
const TimedOperation& powerOffOperation();

} // namespace ordalis
