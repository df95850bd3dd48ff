#pragma once

#include "rules/timed_operations.h"

namespace ordalis {

class CTavrinApp;
class TimerService;

// What every page and helper dialog works with: the application object, the timers, and the
// progress box's state, which outlives any one box.
struct UiContext
{
    CTavrinApp& app;
    TimerService& timers;
    ProcessboxState processbox {};
};

} // namespace ordalis
