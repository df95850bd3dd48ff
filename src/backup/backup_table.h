#pragma once

#include "backup/backup_record.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace ordalis {

// The back-up page's settings of every display, in chain order.
struct BackupTable
{
    static constexpr std::size_t kMaxDisplays = 25;

    std::uint8_t displayCount = 0; // records 0 .. displayCount-1 are valid; the rest are stale
    std::uint8_t poweredOnCount = 0; // used while reading from the displays
    bool loaded = false; // a complete set from the displays or from a file that passed every check
    std::array<BackupRecord, kMaxDisplays> records {};
};

} // namespace ordalis
