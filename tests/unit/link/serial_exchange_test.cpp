#include "link/command_exchange.h"
#include "link/serial_link.h"
#include "link_fixture.h"

#include <gmock/gmock.h>

namespace ordalis::test {
namespace {

using testing::ElementsAreArray;

// One exchange on the serial link. The frame leaves at the start of the call; arrival times
// are from then, and so is the time spent.
struct SerialCase
{
    const char* name;
    Op op;
    std::uint8_t target;
    CommandCode code;
    std::uint8_t value;
    std::vector<ScriptedReply> replies;
    bool showBoxes;
    std::vector<std::string> sent;
    bool ok;
    int readValue; // -1: nothing stored
    const char* error;
    std::vector<Box> boxes;
    std::int64_t elapsedMs;
};

void PrintTo(const SerialCase& c, std::ostream* os)
{
    *os << c.name;
}

const char* const kNotAck = "RS232 Not Ack !!";
const char* const kEarlier = LinkFixture::kEarlierError;

const SerialCase kSerialCases[] = {
    // Writes to one display: deadline 10 ms pause + 1500 ms + 30 ms x 5.
    {"AckArrives", Op::Write, 5, "BRL", 50, {{at(20, kAck5)}}, false, {kBrl5}, true, -1, kEarlier, {}, 20},
    {"AckInPiecesBeforeDeadline", Op::Write, 5, "BRL", 50, {{at(20, "07 05 00"), at(1600, "42 52 4C 32 08")}},
        false, {kBrl5}, true, -1, kEarlier, {}, 1600},
    {"LastPieceAfterDeadline", Op::Write, 5, "BRL", 50, {{at(20, "07 05 00"), at(1700, "42 52 4C 32 08")}},
        false, {kBrl5}, false, -1, kNotAck, {}, 1660},
    {"SilentDisplay", Op::Write, 5, "BRL", 50, {}, false, {kBrl5}, false, -1, kNotAck, {}, 1660},
    {"SilentDisplayWithBoxes", Op::Write, 5, "BRL", 50, {}, true, {kBrl5}, false, -1, kNotAck,
        {{kNotAck, PromptIcon::Stop}}, 1660},
    {"EchoThenAck", Op::Write, 5, "BRL", 50, {{at(2, kBrl5), at(40, kAck5)}}, false, {kBrl5}, true, -1,
        kEarlier, {}, 40},
    {"EchoThenAnyEightBytes", Op::Write, 5, "BRL", 50, {{at(2, kBrl5), at(40, "FF FF FF FF FF FF FF FF")}},
        false, {kBrl5}, true, -1, kEarlier, {}, 40},
    // The second read has a deadline of its own, from the end of the first (10 ms or later).
    {"EchoThenSilence", Op::Write, 5, "BRL", 50, {{at(2, kBrl5)}}, false, {kBrl5}, false, -1, kNotAck, {},
        1660},
    {"EchoLateThenSilence", Op::Write, 5, "BRL", 50, {{at(300, kBrl5)}}, false, {kBrl5}, false, -1, kNotAck,
        {}, 1950},
    {"WrongStartByte", Op::Write, 5, "BRL", 50, {{at(20, "06 05 00 42 52 4C 32 08")}}, false, {kBrl5}, false,
        -1, kNotAck, {}, 20},
    {"MonitorIdAbove100", Op::Write, 5, "BRL", 50, {{at(20, "07 65 00 42 52 4C 32 08")}}, false, {kBrl5},
        false, -1, kNotAck, {}, 20},
    {"Monitor100Accepted", Op::Write, 5, "BRL", 50, {{at(20, "07 64 00 00 00 00 00 00")}}, false, {kBrl5},
        true, -1, kEarlier, {}, 20},
    {"WrongKind", Op::Write, 5, "BRL", 50, {{at(20, "07 05 03 42 52 4C 32 08")}}, false, {kBrl5}, false, -1,
        kNotAck, {}, 20},
    {"NoiseBeforeAck", Op::Write, 5, "BRL", 50, {{at(5, "FF"), at(20, kAck5)}}, false, {kBrl5}, false, -1,
        kNotAck, {}, 20},
    {"ShortAckThenSilence", Op::Write, 5, "BRL", 50, {{at(20, "07 05 00 42")}}, false, {kBrl5}, false, -1,
        kNotAck, {}, 1660},
    // Writes to all displays: deadline 10 + 1500 ms; any 8 bytes acknowledge.
    {"AllDisplaysSelectedThree", Op::Write, 0x83, "BRL", 50, {{at(30, "00 11 22 33 44 55 66 77")}}, false,
        {"07 00 02 42 52 4C 32 08"}, true, -1, kEarlier, {}, 30},
    {"AllDisplaysSilent", Op::Write, 0, "BRL", 50, {}, false, {"07 00 02 42 52 4C 32 08"}, false, -1, kNotAck,
        {}, 1510},
    {"AllDisplaysAboveHundred", Op::Write, 101, "POW", 1, {{at(30, "07 01 00 50 4F 57 01 08")}}, false,
        {"07 00 02 50 4F 57 01 08"}, true, -1, kEarlier, {}, 30},
    {"AutoDivisionUnacknowledged", Op::Write, 0x80, "DIV", 0x11, {}, false, {"07 00 02 44 49 56 11 08"}, true,
        -1, kEarlier, {}, 1510},
    {"OtherDivisionUnacknowledged", Op::Write, 0x80, "DIV", 0x12, {}, false, {"07 00 02 44 49 56 12 08"},
        false, -1, kNotAck, {}, 1510},
    // Reads: no pause after the write; deadline 1500 ms + 30 ms x id.
    {"ReadReply", Op::Read, 5, "BRI", 0, {{at(30, kBriReply5)}}, false, {kBri5}, true, 60, kEarlier, {}, 30},
    {"ReadEchoThenReply", Op::Read, 5, "BRI", 0, {{at(1, kBri5), at(30, kBriReply5)}}, false, {kBri5}, true,
        60, kEarlier, {}, 30},
    {"ReadReplyInPieces", Op::Read, 5, "BRI", 0, {{at(10, "07"), at(20, "05 00 42"), at(900, "52 49 3C 08")}},
        false, {kBri5}, true, 60, kEarlier, {}, 900},
    {"ReadLettersAndEndNotChecked", Op::Read, 5, "BRI", 0, {{at(30, "07 05 00 58 58 58 3C 00")}}, false,
        {kBri5}, true, 60, kEarlier, {}, 30},
    {"ReadAllSelectedGoesToOne", Op::Read, 0x83, "BRI", 0, {{at(30, "07 01 00 42 52 49 3C 08")}}, false,
        {"07 01 01 42 52 49 08"}, true, 60, kEarlier, {}, 30},
    {"ReadTargetZeroGoesToOne", Op::Read, 0, "BRI", 0, {{at(30, "07 01 00 42 52 49 3C 08")}}, false,
        {"07 01 01 42 52 49 08"}, true, 60, kEarlier, {}, 30},
    {"ReadOtherDisplayAnswers", Op::Read, 5, "BRI", 0, {{at(30, "07 06 00 42 52 49 3C 08")}}, false, {kBri5},
        false, -1, kNotAck, {}, 30},
    {"ReadWrongKind", Op::Read, 5, "BRI", 0, {{at(30, "07 05 03 42 52 49 3C 08")}}, false, {kBri5}, false, -1,
        kNotAck, {}, 30},
    {"ReadEchoThenNoReply", Op::Read, 5, "BRI", 0, {{at(1, kBri5), at(30, "07 05 02 42 52 49 3C 08")}}, false,
        {kBri5}, false, -1, kNotAck, {}, 30},
    {"ReadSilent", Op::Read, 5, "BRI", 0, {}, false, {kBri5}, false, -1, kNotAck, {}, 1650},
    {"ReadSilentWithBoxes", Op::Read, 5, "BRI", 0, {}, true, {kBri5}, false, -1, kNotAck,
        {{kNotAck, PromptIcon::Stop}}, 1650},
    {"ReadHeaderThenSilence", Op::Read, 5, "BRI", 0, {{at(30, "07 05 00")}}, false, {kBri5}, false, -1,
        kNotAck, {}, 1680},
};

class SerialExchange : public LinkFixture, public testing::TestWithParam<SerialCase>
{
};

TEST_P(SerialExchange, SendsWaitsAndJudges)
{
    const SerialCase& c = GetParam();
    for (const ScriptedReply& reply : c.replies)
        line.replyToNextWrite(reply);
    exchangeAndCheck(c);
    EXPECT_THAT(toHex(line.writes()), ElementsAreArray(c.sent));
    EXPECT_TRUE(app.ComPortOpen);
}

INSTANTIATE_TEST_SUITE_P(Rows, SerialExchange, testing::ValuesIn(kSerialCases), rowName<SerialCase>);

// The port cannot be opened: nothing is sent, and the failure shows a box or costs 100 ms.
struct NotReadyCase
{
    const char* name;
    Op op;
    bool showBoxes;
    std::vector<Box> boxes;
    std::int64_t elapsedMs;
};

void PrintTo(const NotReadyCase& c, std::ostream* os)
{
    *os << c.name;
}

class SerialNotReady : public LinkFixture, public testing::TestWithParam<NotReadyCase>
{
};

TEST_P(SerialNotReady, FailsBeforeSending)
{
    const NotReadyCase& c = GetParam();
    line.setOpenFails(true);
    app.ShowErrorBoxes = c.showBoxes;
    CommandExchange exchange(app);
    const std::int64_t start = clock.nowMs();
    std::uint8_t value = 0;
    const bool ok
        = c.op == Op::Write ? exchange.WriteValue(5, "BRL", 50) : exchange.ReadValue(5, "BRL", value);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(line.writes().empty());
    EXPECT_FALSE(app.ComPortOpen);
    EXPECT_EQ(app.LastErrorText, QStringLiteral("RS232 device is not ready !!"));
    EXPECT_THAT(boxTexts(prompts.messages()), ElementsAreArray(boxTexts(c.boxes)));
    EXPECT_EQ(clock.nowMs() - start, c.elapsedMs);
}

INSTANTIATE_TEST_SUITE_P(Rows, SerialNotReady,
    testing::Values(NotReadyCase {"WriteQuiet", Op::Write, false, {}, 100},
        NotReadyCase {
            "WriteWithBox", Op::Write, true, {{"RS232 device is not ready !!", PromptIcon::Stop}}, 0},
        NotReadyCase {"ReadQuiet", Op::Read, false, {}, 100},
        NotReadyCase {
            "ReadWithBox", Op::Read, true, {{"RS232 device is not ready !!", PromptIcon::Stop}}, 0}),
    rowName<NotReadyCase>);

class SerialPortLife : public LinkFixture, public testing::Test
{
};

TEST_F(SerialPortLife, StaysOpenAndPurgesBeforeEveryWrite)
{
    line.replyToNextWrite({at(20, kAck5)});
    line.replyToNextWrite({at(20, kAck5)});
    CommandExchange exchange(app);
    line.arriveAt(clock.nowMs(), hex("07 05 00 42 52 4C 32 08")); // stale bytes: purged, not taken as the ack
    ASSERT_TRUE(exchange.WriteValue(5, "BRL", 50));
    ASSERT_TRUE(exchange.WriteValue(5, "BRL", 50));
    EXPECT_EQ(line.opens(), 1);
    EXPECT_EQ(line.purges(), 4); // on the link check and again before each write
    EXPECT_EQ(line.lastOpenPath(), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(app.ReadTimeoutBase, 1500u);
}

TEST_F(SerialPortLife, FailedWriteClosesSilentlyAndTheNextExchangeReopens)
{
    CommandExchange exchange(app);
    line.failNextWrite();
    app.ShowErrorBoxes = true;
    const std::int64_t start = clock.nowMs();
    EXPECT_FALSE(exchange.WriteValue(5, "BRL", 50));
    EXPECT_EQ(clock.nowMs() - start, 1000);
    EXPECT_FALSE(app.ComPortOpen);
    EXPECT_FALSE(line.isOpen());
    EXPECT_EQ(app.LastErrorText.toStdString(), kEarlier);
    EXPECT_TRUE(prompts.messages().empty());

    line.replyToNextWrite({at(30, kBriReply5)});
    std::uint8_t value = 0;
    EXPECT_TRUE(exchange.ReadValue(5, "BRI", value));
    EXPECT_EQ(value, 60);
    EXPECT_EQ(line.opens(), 2);
}

TEST_F(SerialPortLife, PortThatFailedUnderneathIsReopened)
{
    CommandExchange exchange(app);
    line.replyToNextWrite({at(20, kAck5)});
    ASSERT_TRUE(exchange.WriteValue(5, "BRL", 50));
    // The device goes away while the port is idle; a read finds it and the port closes.
    line.hangUpAt(clock.nowMs() + 5);
    line.replyToNextWrite({});
    EXPECT_FALSE(exchange.WriteValue(5, "BRL", 50));
    EXPECT_EQ(clock.nowMs() - line.writes().back().atMs, 10) << "a broken line ends the wait at once";
    EXPECT_FALSE(app.ComPortOpen);
    EXPECT_EQ(app.LastErrorText.toStdString(), kNotAck);
}

TEST_F(SerialPortLife, RawSendOpensInModeTwoAndThatBaseGovernsLaterReads)
{
    CommandExchange exchange(app);
    const Bytes raw = hex("07 03 01 50 4F 57 08");
    const std::int64_t start = clock.nowMs();
    EXPECT_TRUE(exchange.SendRaw(raw));
    EXPECT_EQ(clock.nowMs() - start, 50);
    EXPECT_EQ(app.ReadTimeoutBase, 0u);
    ASSERT_EQ(line.writes().size(), 1u);
    EXPECT_EQ(line.writes()[0].bytes, raw);
    EXPECT_EQ(line.purges(), 2);

    // Still open in mode 2: a read waits only 30 ms x id.
    line.replyToNextWrite({});
    std::uint8_t value = 0;
    const std::int64_t readStart = clock.nowMs();
    EXPECT_FALSE(exchange.ReadValue(2, "BRI", value));
    EXPECT_EQ(clock.nowMs() - readStart, 60);
}

TEST_F(SerialPortLife, RawSendOfAFailedWriteReportsFalse)
{
    CommandExchange exchange(app);
    line.failNextWrite();
    EXPECT_FALSE(exchange.SendRaw(hex("07")));
    EXPECT_FALSE(app.ComPortOpen);
}

// Retrying: every attempt is a full WriteValue followed by 100 ms; boxes stay off throughout.
TEST_F(SerialPortLife, RetryAgainstASilentDisplay)
{
    app.ShowErrorBoxes = true;
    CommandExchange exchange(app);
    const std::int64_t start = clock.nowMs();
    EXPECT_FALSE(exchange.WriteValueRetry(5, "BRL", 50, 3));
    EXPECT_EQ(line.writes().size(), 3u);
    EXPECT_EQ(clock.nowMs() - start, 3 * (1660 + 100));
    EXPECT_THAT(clock.sleeps(), ElementsAreArray({10, 100, 10, 100, 10, 100}));
    EXPECT_TRUE(prompts.messages().empty());
    EXPECT_TRUE(app.ShowErrorBoxes);
    EXPECT_EQ(app.LastErrorText.toStdString(), kNotAck);
}

TEST_F(SerialPortLife, RetryStopsAtTheFirstSuccessAndAlwaysTriesOnce)
{
    app.ShowErrorBoxes = true;
    line.replyToNextWrite({});
    line.replyToNextWrite({at(20, kAck5)});
    CommandExchange exchange(app);
    EXPECT_TRUE(exchange.WriteValueRetry(5, "BRL", 50, 5));
    EXPECT_EQ(line.writes().size(), 2u);
    EXPECT_TRUE(app.ShowErrorBoxes);

    line.replyToNextWrite({});
    EXPECT_FALSE(exchange.WriteValueRetry(5, "BRL", 50, 0));
    EXPECT_EQ(line.writes().size(), 3u);
}

} // namespace
} // namespace ordalis::test
