#include "rules/timed_operations.h"

#include <array>

namespace ordalis {

namespace {

StepResult lastTick(TimedContext&, int)
{
    return {kStepTickMs, StepPhase::Succeeded};
}

constexpr std::array<Step<TimedContext>, 2> kPowerSteps {{
    {0, "wait", nullptr},
    {9, "done", &lastTick},
}};

constexpr TimedOperation kPowerOn {
    "Power On", "Power On is processing, please wait for 5 seconds.", kPowerSteps};
constexpr TimedOperation kPowerOff {
    "Power Off", "Power Off is processing, please wait for 5 seconds.", kPowerSteps};

} // namespace

const TimedOperation& powerOnOperation()
{
    return kPowerOn;
}

const TimedOperation& powerOffOperation()
{
    return kPowerOff;
}

} // namespace ordalis
