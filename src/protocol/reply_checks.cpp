#include "protocol/reply_checks.h"

#include "protocol/command_frame.h"

namespace ordalis {

bool isWriteAcknowledgement(std::span<const std::uint8_t> reply)
{
    return reply.size() == frame::replySize(1) && reply[0] == frame::kStart
        && reply[frame::kMonitorIdOffset] <= frame::kMaxMonitorId
        && reply[frame::kKindOffset] == std::uint8_t(FrameKind::Reply);
}

bool isDisplayLanAcknowledgement(std::span<const std::uint8_t> reply, CommandCode sent)
{
    return reply.size() == frame::replySize(1) && reply[0] == frame::kStart
        && reply[frame::replySize(1) - 1] == frame::kEnd && reply[frame::kCodeOffset] == sent.letter(0)
        && reply[frame::kCodeOffset + 1] == sent.letter(1) && reply[frame::kCodeOffset + 2] == sent.letter(2);
}

bool isSingleReadReply(std::span<const std::uint8_t> reply, std::uint8_t monitorId)
{
    return reply.size() == frame::replySize(1) && reply[0] == frame::kStart
        && reply[frame::kMonitorIdOffset] == monitorId
        && reply[frame::kKindOffset] == std::uint8_t(FrameKind::Reply);
}

bool isReadAllReply(std::span<const std::uint8_t> reply, CommandCode sent, std::size_t valueLength)
{
    return valueLength > 0 && reply.size() == frame::replySize(valueLength) && reply[0] == frame::kStart
        && reply[frame::kKindOffset] == std::uint8_t(FrameKind::Reply)
        && reply[frame::kCodeOffset] == sent.letter(0)
        && reply[frame::kValueOffset + valueLength] == frame::kEnd;
}

} // namespace ordalis
