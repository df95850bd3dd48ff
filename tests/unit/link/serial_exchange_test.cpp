#include "link/command_exchange.h"
#include "link/serial_link.h"
#include "link_fixture.h"

#include <gmock/gmock.h>

namespace ordalis::test {
namespace {

using testing::ElementsAreArray;

// One exchange on the serial link. The frame leaves at the start of the call; arrival times
// are from then, and so is the time spent.
struct SerialGiven
{
    Op op;
    std::uint8_t target;
    CommandCode code;
    std::uint8_t value = 0;
    std::vector<ScriptedReply> replies = {}; // one per frame written; none: the line stays silent
    bool showBoxes = false;
};

struct SerialExpected
{
    std::vector<std::string> sent;
    bool ok;
    int readValue = -1; // -1: nothing stored
    const char* error;
    std::vector<Box> boxes = {};
    std::int64_t elapsedMs;
};

struct SerialCase
{
    const char* name;
    SerialGiven given;
    SerialExpected expected;
};

// Both halves of a row side by side, as exchangeAndCheck reads them.
struct SerialRun : SerialGiven, SerialExpected
{
};

void PrintTo(const SerialCase& c, std::ostream* os)
{
    *os << c.name;
}

const char* const kNotAck = "RS232 Not Ack !!";
const char* const kEarlier = LinkFixture::kEarlierError;

// clang-format off
const SerialCase kSerialCases[] = {
    // Writes to one display: deadline 10 ms pause + 1500 ms + 30 ms x 5.
    {.name = "AckArrives",
        .given = {.op = Op::Write, .target = 5, .code = "BRL", .value = 50, .replies = {{at(20, kAck5)}}},
        .expected = {.sent = {kBrl5}, .ok = true, .error = kEarlier, .elapsedMs = 20}},
    {.name = "AckInPiecesBeforeDeadline",
        .given = {.op = Op::Write, .target = 5, .code = "BRL", .value = 50,
            .replies = {{at(20, "07 05 00"), at(1600, "42 52 4C 32 08")}}},
        .expected = {.sent = {kBrl5}, .ok = true, .error = kEarlier, .elapsedMs = 1600}},
    {.name = "LastPieceAfterDeadline",
        .given = {.op = Op::Write, .target = 5, .code = "BRL", .value = 50,
            .replies = {{at(20, "07 05 00"), at(1700, "42 52 4C 32 08")}}},
        .expected = {.sent = {kBrl5}, .ok = false, .error = kNotAck, .elapsedMs = 1660}},
    {.name = "SilentDisplay",
        .given = {.op = Op::Write, .target = 5, .code = "BRL", .value = 50},
        .expected = {.sent = {kBrl5}, .ok = false, .error = kNotAck, .elapsedMs = 1660}},
    {.name = "SilentDisplayWithBoxes",
        .given = {.op = Op::Write, .target = 5, .code = "BRL", .value = 50, .showBoxes = true},
        .expected = {.sent = {kBrl5}, .ok = false, .error = kNotAck, .boxes = {{kNotAck, PromptIcon::Stop}},
            .elapsedMs = 1660}},
    {.name = "EchoThenAck",
        .given = {.op = Op::Write, .target = 5, .code = "BRL", .value = 50,
            .replies = {{at(2, kBrl5), at(40, kAck5)}}},
        .expected = {.sent = {kBrl5}, .ok = true, .error = kEarlier, .elapsedMs = 40}},
    {.name = "EchoThenAnyEightBytes",
        .given = {.op = Op::Write, .target = 5, .code = "BRL", .value = 50,
            .replies = {{at(2, kBrl5), at(40, "FF FF FF FF FF FF FF FF")}}},
        .expected = {.sent = {kBrl5}, .ok = true, .error = kEarlier, .elapsedMs = 40}},
    // The second read has a deadline of its own, from the end of the first (10 ms or later).
    {.name = "EchoThenSilence",
        .given = {.op = Op::Write, .target = 5, .code = "BRL", .value = 50, .replies = {{at(2, kBrl5)}}},
        .expected = {.sent = {kBrl5}, .ok = false, .error = kNotAck, .elapsedMs = 1660}},
    {.name = "EchoLateThenSilence",
        .given = {.op = Op::Write, .target = 5, .code = "BRL", .value = 50, .replies = {{at(300, kBrl5)}}},
        .expected = {.sent = {kBrl5}, .ok = false, .error = kNotAck, .elapsedMs = 1950}},
    {.name = "WrongStartByte",
        .given = {.op = Op::Write, .target = 5, .code = "BRL", .value = 50,
            .replies = {{at(20, "06 05 00 42 52 4C 32 08")}}},
        .expected = {.sent = {kBrl5}, .ok = false, .error = kNotAck, .elapsedMs = 20}},
    {.name = "MonitorIdAbove100",
        .given = {.op = Op::Write, .target = 5, .code = "BRL", .value = 50,
            .replies = {{at(20, "07 65 00 42 52 4C 32 08")}}},
        .expected = {.sent = {kBrl5}, .ok = false, .error = kNotAck, .elapsedMs = 20}},
    {.name = "Monitor100Accepted",
        .given = {.op = Op::Write, .target = 5, .code = "BRL", .value = 50,
            .replies = {{at(20, "07 64 00 00 00 00 00 00")}}},
        .expected = {.sent = {kBrl5}, .ok = true, .error = kEarlier, .elapsedMs = 20}},
    {.name = "WrongKind",
        .given = {.op = Op::Write, .target = 5, .code = "BRL", .value = 50,
            .replies = {{at(20, "07 05 03 42 52 4C 32 08")}}},
        .expected = {.sent = {kBrl5}, .ok = false, .error = kNotAck, .elapsedMs = 20}},
    {.name = "NoiseBeforeAck",
        .given = {.op = Op::Write, .target = 5, .code = "BRL", .value = 50,
            .replies = {{at(5, "FF"), at(20, kAck5)}}},
        .expected = {.sent = {kBrl5}, .ok = false, .error = kNotAck, .elapsedMs = 20}},
    {.name = "ShortAckThenSilence",
        .given = {.op = Op::Write, .target = 5, .code = "BRL", .value = 50,
            .replies = {{at(20, "07 05 00 42")}}},
        .expected = {.sent = {kBrl5}, .ok = false, .error = kNotAck, .elapsedMs = 1660}},
    // Writes to all displays: deadline 10 + 1500 ms; any 8 bytes acknowledge.
    {.name = "AllDisplaysSelectedThree",
        .given = {.op = Op::Write, .target = 0x83, .code = "BRL", .value = 50,
            .replies = {{at(30, "00 11 22 33 44 55 66 77")}}},
        .expected = {.sent = {"07 00 02 42 52 4C 32 08"}, .ok = true, .error = kEarlier, .elapsedMs = 30}},
    {.name = "AllDisplaysSilent",
        .given = {.op = Op::Write, .target = 0, .code = "BRL", .value = 50},
        .expected = {.sent = {"07 00 02 42 52 4C 32 08"}, .ok = false, .error = kNotAck, .elapsedMs = 1510}},
    {.name = "AllDisplaysAboveHundred",
        .given = {.op = Op::Write, .target = 101, .code = "POW", .value = 1,
            .replies = {{at(30, "07 01 00 50 4F 57 01 08")}}},
        .expected = {.sent = {"07 00 02 50 4F 57 01 08"}, .ok = true, .error = kEarlier, .elapsedMs = 30}},
    {.name = "AutoDivisionUnacknowledged",
        .given = {.op = Op::Write, .target = 0x80, .code = "DIV", .value = 0x11},
        .expected = {.sent = {"07 00 02 44 49 56 11 08"}, .ok = true, .error = kEarlier, .elapsedMs = 1510}},
    {.name = "OtherDivisionUnacknowledged",
        .given = {.op = Op::Write, .target = 0x80, .code = "DIV", .value = 0x12},
        .expected = {.sent = {"07 00 02 44 49 56 12 08"}, .ok = false, .error = kNotAck, .elapsedMs = 1510}},
    // Reads: no pause after the write; deadline 1500 ms + 30 ms x id.
    {.name = "ReadReply",
        .given = {.op = Op::Read, .target = 5, .code = "BRI", .replies = {{at(30, kBriReply5)}}},
        .expected = {.sent = {kBri5}, .ok = true, .readValue = 60, .error = kEarlier, .elapsedMs = 30}},
    {.name = "ReadEchoThenReply",
        .given = {.op = Op::Read, .target = 5, .code = "BRI",
            .replies = {{at(1, kBri5), at(30, kBriReply5)}}},
        .expected = {.sent = {kBri5}, .ok = true, .readValue = 60, .error = kEarlier, .elapsedMs = 30}},
    {.name = "ReadReplyInPieces",
        .given = {.op = Op::Read, .target = 5, .code = "BRI",
            .replies = {{at(10, "07"), at(20, "05 00 42"), at(900, "52 49 3C 08")}}},
        .expected = {.sent = {kBri5}, .ok = true, .readValue = 60, .error = kEarlier, .elapsedMs = 900}},
    {.name = "ReadLettersAndEndNotChecked",
        .given = {.op = Op::Read, .target = 5, .code = "BRI",
            .replies = {{at(30, "07 05 00 58 58 58 3C 00")}}},
        .expected = {.sent = {kBri5}, .ok = true, .readValue = 60, .error = kEarlier, .elapsedMs = 30}},
    {.name = "ReadAllSelectedGoesToOne",
        .given = {.op = Op::Read, .target = 0x83, .code = "BRI",
            .replies = {{at(30, "07 01 00 42 52 49 3C 08")}}},
        .expected = {.sent = {"07 01 01 42 52 49 08"}, .ok = true, .readValue = 60, .error = kEarlier,
            .elapsedMs = 30}},
    {.name = "ReadTargetZeroGoesToOne",
        .given = {.op = Op::Read, .target = 0, .code = "BRI",
            .replies = {{at(30, "07 01 00 42 52 49 3C 08")}}},
        .expected = {.sent = {"07 01 01 42 52 49 08"}, .ok = true, .readValue = 60, .error = kEarlier,
            .elapsedMs = 30}},
    {.name = "ReadOtherDisplayAnswers",
        .given = {.op = Op::Read, .target = 5, .code = "BRI",
            .replies = {{at(30, "07 06 00 42 52 49 3C 08")}}},
        .expected = {.sent = {kBri5}, .ok = false, .error = kNotAck, .elapsedMs = 30}},
    {.name = "ReadWrongKind",
        .given = {.op = Op::Read, .target = 5, .code = "BRI",
            .replies = {{at(30, "07 05 03 42 52 49 3C 08")}}},
        .expected = {.sent = {kBri5}, .ok = false, .error = kNotAck, .elapsedMs = 30}},
    {.name = "ReadEchoThenNoReply",
        .given = {.op = Op::Read, .target = 5, .code = "BRI",
            .replies = {{at(1, kBri5), at(30, "07 05 02 42 52 49 3C 08")}}},
        .expected = {.sent = {kBri5}, .ok = false, .error = kNotAck, .elapsedMs = 30}},
    {.name = "ReadSilent",
        .given = {.op = Op::Read, .target = 5, .code = "BRI"},
        .expected = {.sent = {kBri5}, .ok = false, .error = kNotAck, .elapsedMs = 1650}},
    {.name = "ReadSilentWithBoxes",
        .given = {.op = Op::Read, .target = 5, .code = "BRI", .showBoxes = true},
        .expected = {.sent = {kBri5}, .ok = false, .error = kNotAck, .boxes = {{kNotAck, PromptIcon::Stop}},
            .elapsedMs = 1650}},
    {.name = "ReadHeaderThenSilence",
        .given = {.op = Op::Read, .target = 5, .code = "BRI", .replies = {{at(30, "07 05 00")}}},
        .expected = {.sent = {kBri5}, .ok = false, .error = kNotAck, .elapsedMs = 1680}},
};
// clang-format on

class SerialExchange : public LinkFixture, public testing::TestWithParam<SerialCase>
{
};

TEST_P(SerialExchange, SendsWaitsAndJudges)
{
    const SerialCase& c = GetParam();
    for (const ScriptedReply& reply : c.given.replies)
        line.replyToNextWrite(reply);
    exchangeAndCheck(SerialRun {c.given, c.expected});
    EXPECT_THAT(toHex(line.writes()), ElementsAreArray(c.expected.sent));
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

const char* const kNotReady = "RS232 device is not ready !!";

// clang-format off
const NotReadyCase kNotReadyCases[] = {
    {.name = "WriteQuiet", .op = Op::Write, .showBoxes = false, .boxes = {}, .elapsedMs = 100},
    {.name = "WriteWithBox", .op = Op::Write, .showBoxes = true, .boxes = {{kNotReady, PromptIcon::Stop}},
        .elapsedMs = 0},
    {.name = "ReadQuiet", .op = Op::Read, .showBoxes = false, .boxes = {}, .elapsedMs = 100},
    {.name = "ReadWithBox", .op = Op::Read, .showBoxes = true, .boxes = {{kNotReady, PromptIcon::Stop}},
        .elapsedMs = 0},
};
// clang-format on

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

INSTANTIATE_TEST_SUITE_P(Rows, SerialNotReady, testing::ValuesIn(kNotReadyCases), rowName<NotReadyCase>);

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
