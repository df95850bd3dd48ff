#pragma once

#include "setup/auto_setup_steps.h"
#include "setup/timed_operation.h"

namespace ordalis {

class CTavrinApp;
class TimerService;

// What every page and helper dialog works with: the application object, the timers, and
// the progress box's state and step table, which outlive any one box.
struct UiContext
{
    CTavrinApp& app;
    TimerService& timers;
    ProcessboxState processbox {};
    TimedStepTable timedSteps = AutoSetupSteps::table();
};

} // namespace ordalis
