#pragma once

#include "protocol/command_code.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace ordalis {

// How a page sends a command beyond the catalogue.
enum SendAs : std::uint8_t {
    SendRead = 1 << 0,
    SendWrite = 1 << 1,
    SendReadAll = 1 << 2, // a read addressed to all displays, every display answering in turn
};

struct PageCommand
{
    CommandCode code;
    std::uint8_t sentAs; // SendAs flags
    std::uint8_t valueLength;
};

// Commands the pages send on their own, outside the catalogue.
inline constexpr std::array<PageCommand, 13> kPageCommands = {{
    {"COT", SendRead | SendWrite, 1}, // colour temperature preset on displays without CCT
    {"MIS", SendRead, 1}, // current main input source
    {"PJD", SendRead, 1}, // firmware project number
    {"VDL", SendRead | SendWrite, 1}, // video delay
    {"VAU", SendWrite, 1}, // automatic video wall arrangement
    {"TPP", SendWrite, 1}, // internal test pattern
    {"ERR", SendReadAll, 4}, // error code, bytes 0-1, low byte first
    {"LMT", SendReadAll, 8}, // highest temperature and when, minutes low byte first
    {"OTT", SendReadAll, 4}, // total time, minutes
    {"OTS", SendReadAll, 4}, // operating time, minutes
    {"BSL", SendReadAll, 1}, // backlight sensor, low byte
    {"BSH", SendReadAll, 1}, // backlight sensor, high byte
    {"RS2", SendReadAll, 1}, // second fan, x 30 rpm
}};

// Value bytes in a display's reply to a read of this code (n in a reply of n + 7 bytes).
std::size_t replyValueLength(CommandCode code);

} // namespace ordalis
