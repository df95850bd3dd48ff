#include "sim/line_output.h"
#include "tests/support/hex_bytes.h"

#include <gtest/gtest.h>

namespace ordalis::sim {
namespace {

using namespace std::chrono_literals;
using ordalis::test::hex;
using ordalis::test::toHex;
using Time = LineOutput::Time;

const Time t0 = Time {} + 1h;

// Drives the output at given moments and tells what left the line at each.
class Wire
{
public:
    explicit Wire(std::chrono::nanoseconds perByte) : m_output(perByte) { }
    LineOutput& output() { return m_output; }

    std::string at(std::chrono::microseconds when)
    {
        Bytes out;
        m_output.take(t0 + when, out, m_started);
        return toHex(out);
    }
    const std::vector<LineOutput::Started>& started() const { return m_started; }

private:
    LineOutput m_output;
    std::vector<LineOutput::Started> m_started;
};

TEST(LineOutput, PacedBytesLeaveOneCharacterTimeApart)
{
    Wire wire(100us);
    wire.output().push({hex("07 05 00 42 52 49 3C 08"), t0 + 3ms, {}, LineOutput::Note {"d5", {}}});
    EXPECT_EQ(wire.output().nextDue(), t0 + 3ms);
    EXPECT_EQ(wire.at(2999us), "");
    EXPECT_EQ(wire.at(3000us), "07");
    EXPECT_EQ(wire.output().nextDue(), t0 + 3100us);
    EXPECT_EQ(wire.at(3250us), "05 00");
    EXPECT_EQ(wire.at(3250us), "");
    EXPECT_EQ(wire.at(10ms), "42 52 49 3C 08");
    EXPECT_TRUE(wire.output().idle());
    EXPECT_FALSE(wire.output().nextDue());
    ASSERT_EQ(wire.started().size(), 1u);
    EXPECT_EQ(wire.started()[0].at, t0 + 3ms);
    EXPECT_EQ(wire.started()[0].note.direction, "d5");
}

TEST(LineOutput, AnswersNeverOverlapAndKeepTheirOrder)
{
    Wire wire(100us);
    // The second answer is due before the first has left: it follows it on the line.
    wire.output().push({hex("01 02 03 04"), t0 + 1ms, {}, LineOutput::Note {"d1", {}}});
    wire.output().push({hex("05 06"), t0 + 1100us, {}, LineOutput::Note {"d2", {}}});
    EXPECT_EQ(wire.at(1ms), "01");
    EXPECT_EQ(wire.at(1300us), "02 03 04");
    EXPECT_EQ(wire.output().nextDue(), t0 + 1400us);
    EXPECT_EQ(wire.at(1450us), "05");
    EXPECT_EQ(wire.at(2ms), "06");
    ASSERT_EQ(wire.started().size(), 2u);
    EXPECT_EQ(wire.started()[1].at, t0 + 1400us);
}

TEST(LineOutput, SplitPiecesKeepTheirPause)
{
    for (const auto perByte : {std::chrono::nanoseconds {0}, std::chrono::nanoseconds {100us}}) {
        Wire wire(perByte);
        wire.output().push({hex("07 01 00"), t0 + 2ms, {}, LineOutput::Note {"d1", {}}});
        wire.output().push({hex("50 4F 57"), {}, 20ms, {}});
        wire.output().push({hex("01 08"), {}, 20ms, {}});
        EXPECT_EQ(wire.at(5ms), "07 01 00") << perByte.count();
        const Time second = t0 + 2ms + perByte * 3 + 20ms;
        EXPECT_EQ(wire.output().nextDue(), second) << perByte.count();
        EXPECT_EQ(wire.at(21ms), "") << perByte.count();
        EXPECT_EQ(wire.at(30ms), "50 4F 57") << perByte.count();
        EXPECT_EQ(wire.output().nextDue(), second + perByte * 3 + 20ms) << perByte.count();
        EXPECT_EQ(wire.at(100ms), "01 08") << perByte.count();
    }
}

TEST(LineOutput, UnpacedPiecesLeaveWholeWhenDue)
{
    Wire wire(0ns);
    wire.output().push({hex("07 01 01 50 4F 57 08"), t0, {}, LineOutput::Note {"echo", {}}});
    wire.output().push({hex("07 01 00 50 4F 57 01 08"), t0 + 3ms, {}, LineOutput::Note {"d1", {}}});
    EXPECT_EQ(wire.at(0us), "07 01 01 50 4F 57 08");
    EXPECT_EQ(wire.at(2ms), "");
    EXPECT_EQ(wire.at(3ms), "07 01 00 50 4F 57 01 08");
}

} // namespace
} // namespace ordalis::sim
