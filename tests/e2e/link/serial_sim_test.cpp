// The exchange over a real pseudo-terminal against the simulated chain.
#include "sim_fixture.h"
#include "tests/support/case_name.h"

#include <gmock/gmock.h>

namespace ordalis::test {
namespace {

using testing::ElementsAre;

// How the line behaves, and what the exchange makes of it.
struct LineCase
{
    const char* name;
    sim::SimFaults faults;
    bool ok;
    const char* error;
    int readAllCount;
};

void PrintTo(const LineCase& c, std::ostream* os)
{
    *os << c.name;
}

sim::SimFaults faults(bool echo, int split, bool garbage)
{
    sim::SimFaults f;
    f.echo = echo;
    f.splitBytes = split;
    f.splitPauseMs = 15;
    f.garbage = garbage;
    f.garbageEvery = 1;
    return f;
}

const LineCase kLineCases[] = {
    {"PlainChain", faults(false, 0, false), true, SimFixture::kEarlierError, 3},
    {"EchoingChain", faults(true, 0, false), true, SimFixture::kEarlierError, 3},
    {"SplitReplies", faults(false, 3, false), true, SimFixture::kEarlierError, 3},
    {"EchoAndSplit", faults(true, 2, false), true, SimFixture::kEarlierError, 3},
    // Noise before every answer: nothing is taken for an acknowledgement or a reply.
    {"NoiseBeforeAnswers", faults(false, 0, true), false, "RS232 Not Ack !!", 0},
};

class SerialAgainstSim : public SimFixture, public testing::TestWithParam<LineCase>
{
};

TEST_P(SerialAgainstSim, WriteReadAndReadAll)
{
    const LineCase& c = GetParam();
    sim::SimConfig config = chainOfThree();
    config.faults = c.faults;
    ASSERT_TRUE(startSerial(config));

    EXPECT_EQ(exchange.WriteValue(2, "BRL", 50), c.ok);
    EXPECT_EQ(sim->display(2).byteValue("BRL"), 50) << "the display obeys whatever the line adds";
    EXPECT_EQ(app.LastErrorText.toStdString(), c.error);

    std::uint8_t value = 0;
    EXPECT_EQ(exchange.ReadValue(3, "BRI", value), c.ok);
    EXPECT_EQ(value, c.ok ? 0x3E : 0);

    // Writes to all displays take any eight bytes that come back, on an echoing line the
    // frame itself: the displays' acknowledgement follows, and a page's pause (through the waiter,
    // as the page makes it) lets it pass.
    EXPECT_TRUE(exchange.WriteValue(0x82, "CON", 40));
    waiter.pause(100);
    for (int position = 1; position <= 3; ++position)
        EXPECT_EQ(sim->display(position).byteValue("CON"), 40);

    // PJD ends the collection after the first reply: no deadline is waited out.
    std::array<std::uint8_t, 3> ids {};
    std::array<std::uint8_t, 3> values {};
    EXPECT_EQ(exchange.ReadAllDisplays("BRI", ids, values, 3, 1), c.readAllCount);
    if (c.readAllCount == 3) {
        EXPECT_THAT(ids, ElementsAre(1, 2, 3));
        EXPECT_THAT(values, ElementsAre(0x3C, 0x3D, 0x3E));
        EXPECT_EQ(exchange.ReadAllDisplays("PJD", ids, values, 3, 1), 1);
    }
    EXPECT_TRUE(prompts.messages().empty());
    EXPECT_TRUE(app.ComPortOpen);
}

INSTANTIATE_TEST_SUITE_P(Lines, SerialAgainstSim, testing::ValuesIn(kLineCases), rowName<LineCase>);

class SerialSim : public SimFixture, public testing::Test
{
};

// A display that hears but never answers costs the deadline and leaves the others working.
TEST_F(SerialSim, SilentDisplay)
{
    sim::SimConfig config = chainOfThree();
    config.displays[0].silent = true;
    ASSERT_TRUE(startSerial(config));
    app.ShowErrorBoxes = true;

    EXPECT_FALSE(exchange.WriteValue(1, "BRL", 50));
    EXPECT_EQ(app.LastErrorText, QStringLiteral("RS232 Not Ack !!"));
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_EQ(prompts.messages()[0].icon, PromptIcon::Stop);
    EXPECT_EQ(sim->display(1).byteValue("BRL"), 50) << "heard and obeyed";

    std::uint8_t value = 0;
    EXPECT_TRUE(exchange.ReadValue(2, "BRI", value));
    EXPECT_EQ(value, 0x3D);
}

// The far end goes away: the next exchange fails and closes the port, and the one after it
// finds no port to open.
TEST_F(SerialSim, LineGoneMidSession)
{
    ASSERT_TRUE(startSerial(chainOfThree()));
    ASSERT_TRUE(exchange.WriteValue(2, "BRL", 50));
    sim->stop();

    EXPECT_FALSE(exchange.WriteValue(2, "BRL", 51));
    EXPECT_FALSE(app.ComPortOpen);

    EXPECT_FALSE(exchange.WriteValue(2, "BRL", 52));
    EXPECT_EQ(app.LastErrorText, QStringLiteral("RS232 device is not ready !!"));
}

TEST_F(SerialSim, PortThatDoesNotExist)
{
    EXPECT_FALSE(exchange.WriteValue(2, "BRL", 50));
    EXPECT_EQ(app.LastErrorText, QStringLiteral("RS232 device is not ready !!"));
    EXPECT_FALSE(app.ComPortOpen);
}

// A raw frame in the console's mode, then what the chain answers, read as the console does.
TEST_F(SerialSim, RawSendThenCollect)
{
    ASSERT_TRUE(startSerial(chainOfThree()));
    const std::vector<std::uint8_t> frame {0x07, 0x02, 0x01, 0x42, 0x52, 0x49, 0x08};
    ASSERT_TRUE(exchange.SendRaw(frame));
    EXPECT_EQ(app.ReadTimeoutBase, 0u);
    std::vector<std::uint8_t> reply(8);
    EXPECT_EQ(app.ComPortHandle->read(reply, clock.nowMs() + 1000), 8);
    EXPECT_THAT(reply, ElementsAre(0x07, 0x02, 0x00, 0x42, 0x52, 0x49, 0x3D, 0x08));
}

} // namespace
} // namespace ordalis::test
