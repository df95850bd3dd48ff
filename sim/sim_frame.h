#pragma once

#include "sim/sim_display.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace ordalis::sim {

enum class FrameKind : std::uint8_t { Reply = 0x00, Read = 0x01, Write = 0x02 };

// A well-formed frame heard on the line: 07 id kind c1 c2 c3 [value] 08.
struct SimFrame
{
    int monitorId = 0;
    FrameKind kind = FrameKind::Read;
    std::string code;
    std::uint8_t value = 0; // writes only
    Bytes bytes; // the frame as it arrived
};

// 07 id 00 c1 c2 c3 value... 08
Bytes buildReply(int monitorId, std::string_view code, const Bytes& value);

// A short reading of any byte string for the traffic log: "read BRI from 5", "reply SER=...".
std::string describeBytes(const Bytes& bytes);

std::string hexBytes(const Bytes& bytes);

} // namespace ordalis::sim
