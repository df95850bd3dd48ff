#pragma once

#include <cstdint>
#include <vector>

namespace ordalis {

// Bytes a fake peer sends, afterMs after the frame that triggers them.
struct ScriptedChunk
{
    std::int64_t afterMs = 0;
    std::vector<std::uint8_t> bytes;
};

// What a fake peer answers to one frame: its pieces in time order; empty for silence.
using ScriptedReply = std::vector<ScriptedChunk>;

// One frame a fake peer received.
struct ReceivedFrame
{
    std::int64_t atMs = 0;
    std::vector<std::uint8_t> bytes;
};

} // namespace ordalis
