#pragma once

#include <algorithm>
#include <cstdint>
#include <span>

namespace ordalis {

// How a step ended the tick that ran it.
enum class StepPhase : std::uint8_t {
    Continue, // the sequence goes on
    Succeeded, // it has ended well
    Failed, // it has ended badly
};

// What a step tells the front end that drives the sequence from its timer.
struct StepResult
{
    int periodMs = 0; // until the next step
    StepPhase phase = StepPhase::Continue;
    int next = -1; // the step to run next; -1: the one after this
};

// One entry of a sequence's constexpr table: it covers the steps from `from` up to the next
// entry's. No work: the tick only paces the sequence.
template<typename Context> struct Step
{
    int from = 0;
    const char* name = "";
    StepResult (*run)(Context& context, int step) = nullptr;
};

template<typename Context> using StepTable = std::span<const Step<Context>>;

// The entry that covers a step: the last one that starts at or before it.
template<typename Context> const Step<Context>& stepEntry(StepTable<Context> table, int step)
{
    const auto after = std::upper_bound(
        table.begin(), table.end(), step, [](int s, const Step<Context>& entry) { return s < entry.from; });
    return after == table.begin() ? table.front() : *(after - 1);
}

// Runs the step the counter names and moves the counter on as the step says; once the sequence
// has ended the counter is back at 0, so the next run starts afresh. idleMs is the period of a
// step without work. The progress box, the status dialog and ordalis-cli all drive their
// sequences through this.
template<typename Context, typename Counter>
StepResult runStep(StepTable<Context> table, Counter& counter, Context& context, int idleMs)
{
    const int step = static_cast<int>(counter);
    const Step<Context>& entry = stepEntry(table, step);
    const StepResult result = entry.run ? entry.run(context, step) : StepResult {idleMs};
    if (result.phase != StepPhase::Continue)
        counter = 0;
    else
        counter = static_cast<Counter>(result.next >= 0 ? result.next : step + 1);
    return result;
}

} // namespace ordalis
