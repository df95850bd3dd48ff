#include "protocol/command_frame.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace ordalis {
namespace {

using Bytes = std::vector<std::uint8_t>;

template<std::size_t N> Bytes toBytes(const std::array<std::uint8_t, N>& frame)
{
    return Bytes(frame.begin(), frame.end());
}

struct WriteCase
{
    std::uint8_t monitorId;
    CommandCode code;
    std::uint8_t value;
    Bytes expected;
};

TEST(CommandFrame, WriteFrames)
{
    const WriteCase cases[] = {
        {0, "POW", 1, {0x07, 0x00, 0x02, 0x50, 0x4F, 0x57, 0x01, 0x08}},
        {1, "POW", 1, {0x07, 0x01, 0x02, 0x50, 0x4F, 0x57, 0x01, 0x08}},
        {0x0A, "CCT", 0x21, {0x07, 0x0A, 0x02, 0x43, 0x43, 0x54, 0x21, 0x08}},
        {0x06, "USR", 0xFF, {0x07, 0x06, 0x02, 0x55, 0x53, 0x52, 0xFF, 0x08}},
        {100, "MAT", 0x32, {0x07, 0x64, 0x02, 0x4D, 0x41, 0x54, 0x32, 0x08}},
    };
    for (const auto& c : cases) {
        const auto frame = makeWriteFrame(c.monitorId, c.code, c.value);
        ASSERT_TRUE(frame.has_value()) << c.code.text();
        EXPECT_EQ(toBytes(*frame), c.expected) << c.code.text();
    }
}

TEST(CommandFrame, ReadFrames)
{
    EXPECT_EQ(toBytes(makeReadFrame(5, "BRI").value()), (Bytes {0x07, 0x05, 0x01, 0x42, 0x52, 0x49, 0x08}));
    EXPECT_EQ(toBytes(makeReadFrame(0, "SER").value()), (Bytes {0x07, 0x00, 0x01, 0x53, 0x45, 0x52, 0x08}));
}

TEST(CommandFrame, MonitorIdAboveOneHundredBuildsNoFrame)
{
    for (const std::uint8_t id :
        {std::uint8_t(101), std::uint8_t(127), std::uint8_t(128), std::uint8_t(255)}) {
        EXPECT_FALSE(makeWriteFrame(id, "POW", 1).has_value()) << int(id);
        EXPECT_FALSE(makeReadFrame(id, "POW").has_value()) << int(id);
    }
}

struct KindCase
{
    Bytes frame;
    FrameKind kind;
    std::size_t echoSize;
};

TEST(CommandFrame, KindComesFromByteTwo)
{
    const KindCase cases[] = {
        {{0x07, 0x05, 0x00, 0x42, 0x52, 0x49, 0x3C, 0x08}, FrameKind::Reply, 0},
        {{0x07, 0x05, 0x01, 0x42, 0x52, 0x49, 0x08}, FrameKind::Read, 7},
        {{0x07, 0x00, 0x02, 0x50, 0x4F, 0x57, 0x01, 0x08}, FrameKind::Write, 8},
        {{0x07, 0x05, 0x03, 0x42, 0x52, 0x49, 0x3C, 0x08}, FrameKind::Other, 0},
        {{0x07, 0x05, 0xFF}, FrameKind::Other, 0},
        {{0x07, 0x05}, FrameKind::Other, 0},
        {{}, FrameKind::Other, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(frameKind(c.frame), c.kind) << testing::PrintToString(c.frame);
        EXPECT_EQ(echoedFrameSize(frameKind(c.frame)), c.echoSize) << testing::PrintToString(c.frame);
    }
}

// What the chain delivers after a read of BRI from display 5: the echo of the read, then the reply.
TEST(CommandFrame, EchoedReadIsSkippedAndTheReplyFollows)
{
    const Bytes line
        = {0x07, 0x05, 0x01, 0x42, 0x52, 0x49, 0x08, 0x07, 0x05, 0x00, 0x42, 0x52, 0x49, 0x3C, 0x08};
    const std::span<const std::uint8_t> received(line);

    ASSERT_EQ(frameKind(received), FrameKind::Read);
    const auto reply = received.subspan(echoedFrameSize(FrameKind::Read));
    ASSERT_EQ(frameKind(reply), FrameKind::Reply);
    ASSERT_EQ(reply.size(), frame::replySize(1));
    EXPECT_EQ(reply[frame::kValueOffset], 60);
}

} // namespace
} // namespace ordalis
