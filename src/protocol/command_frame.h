#pragma once

#include "protocol/command_code.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace ordalis {

// Byte layout shared by every frame: start, Monitor ID, kind, three code letters, value bytes, end.
namespace frame {
inline constexpr std::uint8_t kStart = 0x07;
inline constexpr std::uint8_t kEnd = 0x08;
inline constexpr std::size_t kMonitorIdOffset = 1;
inline constexpr std::size_t kKindOffset = 2;
inline constexpr std::size_t kCodeOffset = 3;
inline constexpr std::size_t kValueOffset = 6;
inline constexpr std::size_t kWriteSize = 8;
inline constexpr std::size_t kReadSize = 7;
// The highest Monitor ID the builders put in a frame; 0 addresses all displays.
inline constexpr std::uint8_t kMaxMonitorId = 100;

// A reply carrying n value bytes is n + 7 bytes long.
constexpr std::size_t replySize(std::size_t valueLength)
{
    return valueLength + 7;
}
} // namespace frame

enum class FrameKind : std::uint8_t {
    Reply = 0x00,
    Read = 0x01,
    Write = 0x02,
    Other = 0xFF,
};

using WriteFrame = std::array<std::uint8_t, frame::kWriteSize>;
using ReadFrame = std::array<std::uint8_t, frame::kReadSize>;

// Frame builders. A Monitor ID above 100 gives no frame: such an id is a caller's mistake and
// must not reach the line, where it would address whatever display happens to carry it.
std::optional<WriteFrame> makeWriteFrame(std::uint8_t monitorId, CommandCode code, std::uint8_t value);
std::optional<ReadFrame> makeReadFrame(std::uint8_t monitorId, CommandCode code);

// What a received frame is, from its byte 2. Fewer than three bytes: Other.
FrameKind frameKind(std::span<const std::uint8_t> bytes);

// How many bytes a frame of this kind that was sent on the line occupies when it comes back
// as an echo and has to be skipped: 7 for a read, 8 for a write, 0 for anything else.
std::size_t echoedFrameSize(FrameKind kind);

} // namespace ordalis
