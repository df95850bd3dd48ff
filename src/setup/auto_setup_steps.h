#pragma once

#include "setup/timed_operation.h"

#include <QString>

#include <cstdint>

namespace ordalis {

class CTavrinApp;

// The auto setup's work for the progress box: the chain steps (one wall-wide command every
// few ticks, then a read-back of every display) and, with one LAN connection per display,
// one display per tick. PendingPowerAction 3 limits both to the Monitor ID numbering.
struct AutoSetupSteps
{
    // PendingPowerAction of a box that runs the auto setup, in full or only the numbering.
    static constexpr std::uint8_t kFullAutoSetup = 2;
    static constexpr std::uint8_t kSortOnly = 3;

    static constexpr std::int64_t kLanSettleMs = 5000; // before the first command over LAN
    static constexpr std::uint8_t kFromBottom = 0x20; // VAU
    static constexpr std::uint8_t kFromTop = 0xA0; // VAU
    static constexpr std::uint8_t kArrangeDivision = 0x11; // DIV, for models without VAU
    static constexpr std::uint8_t kEndAfterThisTick = 101;

    static void chainStep(StepContext& context);
    static void perDisplayStep(StepContext& context);

    // Puts both into a step table.
    static void install(TimedStepTable& table);
    // The step table with both in place.
    static TimedStepTable table();

    // The operation a box with this PendingPowerAction and ConnectionKind runs.
    static const TimedOperation& operationFor(const TimedStepTable& table, const CTavrinApp& app);

    // What the operator is told once the auto setup has ended.
    static QString outcomeText(bool sortOnly, bool succeeded);
};

} // namespace ordalis
