#include "protocol/page_commands.h"

#include <algorithm>

namespace ordalis {

namespace {

struct ReplyLength
{
    CommandCode code;
    std::uint8_t valueLength;
};

constexpr std::array<ReplyLength, 8> kMultiByteReplies = {{
    {"SER", 13},
    {"MNA", 13},
    {"GVE", 6},
    {"RXY", 25},
    {"ERR", 4},
    {"LMT", 8},
    {"OTT", 4},
    {"OTS", 4},
}};

} // namespace

std::size_t replyValueLength(CommandCode code)
{
    const auto it = std::find_if(kMultiByteReplies.begin(), kMultiByteReplies.end(),
        [code](const ReplyLength& entry) { return entry.code == code; });
    return it == kMultiByteReplies.end() ? 1 : it->valueLength;
}

} // namespace ordalis
