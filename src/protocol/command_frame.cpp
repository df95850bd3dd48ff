#include "protocol/command_frame.h"

namespace ordalis {

std::optional<WriteFrame> makeWriteFrame(std::uint8_t monitorId, CommandCode code, std::uint8_t value)
{
    if (monitorId > frame::kMaxMonitorId) {
        return std::nullopt;
    }
    return WriteFrame {frame::kStart, monitorId, std::uint8_t(FrameKind::Write), code.letter(0),
        code.letter(1), code.letter(2), value, frame::kEnd};
}

std::optional<ReadFrame> makeReadFrame(std::uint8_t monitorId, CommandCode code)
{
    if (monitorId > frame::kMaxMonitorId) {
        return std::nullopt;
    }
    return ReadFrame {frame::kStart, monitorId, std::uint8_t(FrameKind::Read), code.letter(0), code.letter(1),
        code.letter(2), frame::kEnd};
}

FrameKind frameKind(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() <= frame::kKindOffset) {
        return FrameKind::Other;
    }
    switch (bytes[frame::kKindOffset]) {
    case std::uint8_t(FrameKind::Reply):
        return FrameKind::Reply;
    case std::uint8_t(FrameKind::Read):
        return FrameKind::Read;
    case std::uint8_t(FrameKind::Write):
        return FrameKind::Write;
    default:
        return FrameKind::Other;
    }
}

std::size_t echoedFrameSize(FrameKind kind)
{
    switch (kind) {
    case FrameKind::Read:
        return frame::kReadSize;
    case FrameKind::Write:
        return frame::kWriteSize;
    default:
        return 0;
    }
}

} // namespace ordalis
