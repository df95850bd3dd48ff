#pragma once

#include "rules/timed_operations.h"

#include <QString>

#include <cstdint>

namespace ordalis {

enum class ConnectionKind : std::uint8_t;

// The auto setup as the progress box runs it: over a chain, one wall-wide command every few
// ticks and then a read-back of every display; with one LAN connection per display, one display
// per tick. The Monitor ID auto sort only numbers the displays.
struct AutoSetupSteps
{
    // PendingPowerAction of a box that runs the auto setup, in full or only the numbering.
    static constexpr std::uint8_t kFullAutoSetup = 2;
    static constexpr std::uint8_t kSortOnly = 3;

    static constexpr std::int64_t kLanSettleMs = 5000; // before the first command over LAN
    static constexpr std::uint8_t kFromBottom = 0x20; // VAU
    static constexpr std::uint8_t kFromTop = 0xA0; // VAU
    static constexpr std::uint8_t kArrangeDivision = 0x11; // DIV, for models without VAU

    // The operation for the link and the choice.
    static const TimedOperation& operation(ConnectionKind kind, bool sortOnly);

    // What the operator is told once the auto setup has ended.
    static QString outcomeText(bool sortOnly, bool succeeded);
};

} // namespace ordalis
