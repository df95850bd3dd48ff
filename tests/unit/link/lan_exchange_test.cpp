#include "link/command_exchange.h"
#include "link_fixture.h"

#include <gmock/gmock.h>

#include <optional>

namespace ordalis::test {
namespace {

using testing::ElementsAreArray;

// What one module does with the next frame it is sent: its reply pieces, and whether it
// then closes the connection (afterMs from the frame).
struct PeerScript
{
    int display; // 1-based record number
    ScriptedReply reply;
    std::optional<std::int64_t> closeAfterMs = std::nullopt;
};

// A frame a module received: display number and bytes.
struct Sent
{
    int display;
    const char* bytes;
};

const char* const kSingle = "127.0.0.10"; // the "IP Address" setting: the single record
const char* const kEach[] = {"127.0.0.11", "127.0.0.12", "127.0.0.13"};
const char* const kEarlier = LinkFixture::kEarlierError;

// One exchange over LAN. The frame leaves at the start of the call; the send is followed by
// 100 ms, so the reply deadline is 100 + 2000 + 30 x id after the start.
struct LanCase
{
    const char* name;
    Op op;
    std::uint8_t target;
    CommandCode code;
    std::uint8_t value;
    std::vector<PeerScript> peers;
    std::vector<int> unusable; // displays whose connect was refused (state 2)
    bool showBoxes;
    std::vector<Sent> sent;
    bool ok;
    int readValue; // -1: nothing stored
    const char* error;
    std::vector<Box> boxes;
    std::int64_t elapsedMs;
    std::vector<int> statusAfter = {}; // status byte per record; empty: all still 0
};

void PrintTo(const LanCase& c, std::ostream* os)
{
    *os << c.name;
}

const char* const kSingleNotAck = "127.0.0.10 Not Ack !";
const char* const kSerialNotAck = "RS232 Not Ack !!";
const char* const kNetworkNotAck = "Network Not Ack !!";

// Rows for the single connection; each runs as kind 1 (LAN) and as kind 3 (wireless).
const LanCase kSingleCases[] = {
    {"AckArrives", Op::Write, 5, "BRL", 50, {{1, {at(150, kAck5)}}}, {}, false, {{1, kBrl5}}, true, -1,
        kEarlier, {}, 150},
    {"AckDuringThePauseAfterTheSend", Op::Write, 5, "BRL", 50, {{1, {at(20, kAck5)}}}, {}, false,
        {{1, kBrl5}}, true, -1, kEarlier, {}, 100},
    {"AckCodeAndEndNotChecked", Op::Write, 5, "BRL", 50, {{1, {at(150, "07 64 00 58 58 58 00 00")}}}, {},
        false, {{1, kBrl5}}, true, -1, kEarlier, {}, 150},
    {"AckInPieces", Op::Write, 5, "BRL", 50,
        {{1, {at(150, "07 05"), at(900, "00 42 52 4C 32"), at(2249, "08")}}}, {}, false, {{1, kBrl5}}, true,
        -1, kEarlier, {}, 2249},
    {"LastPieceAfterDeadline", Op::Write, 5, "BRL", 50,
        {{1, {at(150, "07 05 00 42 52 4C 32"), at(2300, "08")}}}, {}, false, {{1, kBrl5}}, false, -1,
        kSingleNotAck, {}, 2250},
    {"SilentModule", Op::Write, 5, "BRL", 50, {}, {}, false, {{1, kBrl5}}, false, -1, kSingleNotAck, {},
        2250},
    {"SilentModuleWithBoxes", Op::Write, 5, "BRL", 50, {}, {}, true, {{1, kBrl5}}, false, -1, kSingleNotAck,
        {{kSingleNotAck, PromptIcon::Stop}}, 2250},
    {"AllDisplaysNotAwaited", Op::Write, 0x83, "BRL", 50, {}, {}, false, {{1, "07 00 02 42 52 4C 32 08"}},
        true, -1, kEarlier, {}, 100},
    {"EchoThenAck", Op::Write, 5, "BRL", 50, {{1, {at(110, kBrl5), at(160, kAck5)}}}, {}, false, {{1, kBrl5}},
        true, -1, kEarlier, {}, 160},
    {"EchoThenAnyEightBytes", Op::Write, 5, "BRL", 50,
        {{1, {at(110, kBrl5), at(160, "00 00 00 00 00 00 00 00")}}}, {}, false, {{1, kBrl5}}, true, -1,
        kEarlier, {}, 160},
    // The second receive has a deadline of its own, from the end of the first.
    {"EchoThenSilence", Op::Write, 5, "BRL", 50, {{1, {at(110, kBrl5)}}}, {}, false, {{1, kBrl5}}, false, -1,
        kSerialNotAck, {}, 110 + 2150},
    {"WrongKindSaysRs232", Op::Write, 5, "BRL", 50, {{1, {at(150, "07 05 03 42 52 4C 32 08")}}}, {}, true,
        {{1, kBrl5}}, false, -1, kSerialNotAck, {{kSerialNotAck, PromptIcon::Stop}}, 150},
    {"WrongStart", Op::Write, 5, "BRL", 50, {{1, {at(150, "06 05 00 42 52 4C 32 08")}}}, {}, false,
        {{1, kBrl5}}, false, -1, kSingleNotAck, {}, 150},
    {"MonitorIdAbove100", Op::Write, 5, "BRL", 50, {{1, {at(150, "07 65 00 42 52 4C 32 08")}}}, {}, false,
        {{1, kBrl5}}, false, -1, kSingleNotAck, {}, 150},
    {"NoiseBeforeAck", Op::Write, 5, "BRL", 50, {{1, {at(120, "FF"), at(150, kAck5)}}}, {}, false,
        {{1, kBrl5}}, false, -1, kSingleNotAck, {}, 150},
    {"ClosedAfterAPiece", Op::Write, 5, "BRL", 50, {{1, {at(150, "07 05 00")}, 400}}, {}, false, {{1, kBrl5}},
        false, -1, kSingleNotAck, {}, 400},
    {"ClosedAfterTheEcho", Op::Write, 5, "BRL", 50, {{1, {at(110, kBrl5)}, 400}}, {}, false, {{1, kBrl5}},
        false, -1, kSerialNotAck, {}, 400},
    // The single connection is not usable: nothing is sent; the text names the module, with
    // a box without icon or a pause of 100 ms instead.
    {"ConnectionFailQuiet", Op::Write, 5, "BRL", 50, {}, {1}, false, {}, false, -1,
        "127.0.0.10 connection fail!", {}, 100},
    {"ConnectionFailWithBox", Op::Write, 5, "BRL", 50, {}, {1}, true, {}, false, -1,
        "127.0.0.10 connection fail!", {{"127.0.0.10 connection fail!", PromptIcon::None}}, 0},
    {"ReadConnectionFail", Op::Read, 5, "BRI", 0, {}, {1}, false, {}, false, -1,
        "127.0.0.10 connection fail!", {}, 100},

    {"ReadReply", Op::Read, 5, "BRI", 0, {{1, {at(150, kBriReply5)}}}, {}, false, {{1, kBri5}}, true, 60,
        kEarlier, {}, 150},
    {"ReadReplyInPieces", Op::Read, 5, "BRI", 0,
        {{1, {at(150, "07 05"), at(160, "00 42 52"), at(170, "49 3C 08")}}}, {}, false, {{1, kBri5}}, true,
        60, kEarlier, {}, 170},
    {"ReadEchoThenReply", Op::Read, 5, "BRI", 0, {{1, {at(105, kBri5), at(150, kBriReply5)}}}, {}, false,
        {{1, kBri5}}, true, 60, kEarlier, {}, 150},
    {"ReadAllSelectedGoesToOne", Op::Read, 0x83, "BRI", 0, {{1, {at(150, "07 01 00 42 52 49 3C 08")}}}, {},
        false, {{1, "07 01 01 42 52 49 08"}}, true, 60, kEarlier, {}, 150},
    {"ReadOtherDisplayAnswers", Op::Read, 5, "BRI", 0, {{1, {at(150, "07 06 00 42 52 49 3C 08")}}}, {}, false,
        {{1, kBri5}}, false, -1, kNetworkNotAck, {}, 150},
    {"ReadWriteFrameSeen", Op::Read, 5, "BRI", 0, {{1, {at(150, "07 05 02 42 52 49 3C 08")}}}, {}, false,
        {{1, kBri5}}, false, -1, kNetworkNotAck, {}, 150},
    {"ReadEchoThenOtherDisplay", Op::Read, 5, "BRI", 0,
        {{1, {at(105, kBri5), at(150, "07 04 00 42 52 49 3C 08")}}}, {}, false, {{1, kBri5}}, false, -1,
        kNetworkNotAck, {}, 150},
    {"ReadSilent", Op::Read, 5, "BRI", 0, {}, {}, true, {{1, kBri5}}, false, -1, kNetworkNotAck,
        {{kNetworkNotAck, PromptIcon::Stop}}, 2250},
    {"ReadShortThenClosed", Op::Read, 5, "BRI", 0, {{1, {at(150, "07 05 00 42")}, 300}}, {}, false,
        {{1, kBri5}}, false, -1, kNetworkNotAck, {}, 300},
};

// Rows for one connection per display, on a wall of three displays (3 x 1).
const LanCase kEachCases[] = {
    {"AckFromTheNamedDisplay", Op::Write, 2, "BRL", 50, {{2, {at(150, "07 02 00 42 52 4C 32 08")}}}, {},
        false, {{2, "07 02 02 42 52 4C 32 08"}}, true, -1, kEarlier, {}, 150},
    // Only start, end and the code letters count here.
    {"AckIdAndKindNotChecked", Op::Write, 2, "BRL", 50, {{2, {at(150, "07 09 05 42 52 4C 00 08")}}}, {},
        false, {{2, "07 02 02 42 52 4C 32 08"}}, true, -1, kEarlier, {}, 150},
    {"AckOfAnotherCode", Op::Write, 2, "BRL", 50, {{2, {at(150, "07 02 00 42 52 49 32 08")}}}, {}, true,
        {{2, "07 02 02 42 52 4C 32 08"}}, false, -1, "127.0.0.12 Not Ack !",
        {{"127.0.0.12 Not Ack !", PromptIcon::Stop}}, 150},
    {"AckWithoutEnd", Op::Write, 2, "BRL", 50, {{2, {at(150, "07 02 00 42 52 4C 32 09")}}}, {}, false,
        {{2, "07 02 02 42 52 4C 32 08"}}, false, -1, "127.0.0.12 Not Ack !", {}, 150},
    // A missing acknowledgement marks the record: the keeper rebuilds its connection.
    {"SilentDisplayIsMarked", Op::Write, 2, "BRL", 50, {}, {}, false, {{2, "07 02 02 42 52 4C 32 08"}}, false,
        -1, "127.0.0.12 Not Ack !", {}, 100 + 2060, {0, 255, 0}},
    {"ClosedDisplayIsMarked", Op::Write, 3, "BRL", 50, {{3, {}, 50}}, {}, false,
        {{3, "07 03 02 42 52 4C 32 08"}}, false, -1, "127.0.0.13 Not Ack !", {}, 100, {0, 0, 255}},
    {"ToAllSentToEachNotAwaited", Op::Write, 0x81, "BRL", 50, {}, {}, false,
        {{1, "07 00 02 42 52 4C 32 08"}, {2, "07 00 02 42 52 4C 32 08"}, {3, "07 00 02 42 52 4C 32 08"}},
        true, -1, kEarlier, {}, 300},
    {"ToAllSkipsUnusable", Op::Write, 0, "POW", 1, {}, {2}, false,
        {{1, "07 00 02 50 4F 57 01 08"}, {3, "07 00 02 50 4F 57 01 08"}}, true, -1, kEarlier, {}, 200},
    {"ToAllNoneUsable", Op::Write, 0, "POW", 1, {}, {1, 2, 3}, true, {}, false, -1, kEarlier, {}, 0},
    {"CidToOneDisplay", Op::Write, 2, "CID", 7, {{2, {at(150, "07 02 00 43 49 44 07 08")}}}, {}, false,
        {{2, "07 02 02 43 49 44 07 08"}}, true, -1, kEarlier, {}, 150},
    // A CID to all displays names no display: nothing is sent and the text shows the first
    // record's address.
    {"CidToAllNamesNoDisplay", Op::Write, 0x80, "CID", 1, {}, {}, true, {}, false, -1, "127.0.0.11 Not Ack !",
        {{"127.0.0.11 Not Ack !", PromptIcon::Stop}}, 0},
    {"CidAboveHundredNamesNoDisplay", Op::Write, 0x82, "CID", 1, {}, {}, false, {}, false, -1,
        "127.0.0.11 Not Ack !", {}, 0},
    // A display beyond the list, or one whose connection is not usable: no frame, no text.
    {"BeyondTheList", Op::Write, 4, "BRL", 50, {}, {}, true, {}, false, -1, kEarlier, {}, 0},
    {"NamedDisplayUnusable", Op::Write, 2, "BRL", 50, {}, {2}, true, {}, false, -1, kEarlier, {}, 0},
    {"ReadFromTheNamedDisplay", Op::Read, 3, "BRI", 0, {{3, {at(150, "07 03 00 42 52 49 3C 08")}}}, {}, false,
        {{3, "07 03 01 42 52 49 08"}}, true, 60, kEarlier, {}, 150},
    {"ReadAllSelectedGoesToOne", Op::Read, 0x83, "BRI", 0, {{1, {at(150, "07 01 00 42 52 49 3C 08")}}}, {},
        false, {{1, "07 01 01 42 52 49 08"}}, true, 60, kEarlier, {}, 150},
    // A missing reply to a read leaves the record alone.
    {"ReadSilent", Op::Read, 2, "BRI", 0, {}, {}, false, {{2, "07 02 01 42 52 49 08"}}, false, -1,
        kNetworkNotAck, {}, 100 + 2060},
    {"ReadBeyondTheList", Op::Read, 9, "BRI", 0, {}, {}, false, {}, false, -1, kEarlier, {}, 0},
};

class LanExchangeBase : public LinkFixture
{
protected:
    // The wall of this kind: the single record, or three displays (3 x 1); the displays named
    // in unusable refuse their connection.
    void useWall(ConnectionKind kind, const std::vector<int>& unusable)
    {
        std::vector<QString> addresses;
        if (kind == ConnectionKind::LanEach)
            addresses.assign(std::begin(kEach), std::end(kEach));
        else
            addresses.push_back(QString::fromLatin1(kSingle));
        for (int display : unusable)
            network.peer(addresses[std::size_t(display) - 1], 23).refuses = true;
        useLan(kind, addresses);
    }

    void run(const LanCase& c, ConnectionKind kind)
    {
        useWall(kind, c.unusable);
        for (const PeerScript& p : c.peers) {
            peerOf(p.display).replyToNextSend(p.reply);
            if (p.closeAfterMs)
                peerOf(p.display).closeAfterNextSend(*p.closeAfterMs);
        }
        exchangeAndCheck(c);
        EXPECT_THAT(sentFrames(), ElementsAreArray(framesOf(c.sent)));
        std::vector<int> status;
        for (const IPixy& record : app.DisplayList)
            status.push_back(record.status);
        EXPECT_THAT(status,
            ElementsAreArray(
                c.statusAfter.empty() ? std::vector<int>(app.DisplayList.size(), 0) : c.statusAfter));
    }

    static std::vector<std::string> framesOf(const std::vector<Sent>& sent)
    {
        std::vector<std::string> frames;
        for (const Sent& s : sent)
            frames.push_back(std::to_string(s.display) + ": " + s.bytes);
        return frames;
    }

    // Every frame each module received, in display order.
    std::vector<std::string> sentFrames()
    {
        std::vector<std::string> frames;
        for (std::size_t i = 0; i < app.DisplayList.size(); ++i) {
            for (const ReceivedFrame& f : peerOf(int(i) + 1).received())
                frames.push_back(std::to_string(i + 1) + ": " + toHex(f.bytes));
        }
        return frames;
    }
};

class SingleLanExchange : public LanExchangeBase,
                          public testing::TestWithParam<std::tuple<LanCase, ConnectionKind>>
{
};

TEST_P(SingleLanExchange, SendsWaitsAndJudges)
{
    run(std::get<0>(GetParam()), std::get<1>(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Rows, SingleLanExchange,
    testing::Combine(
        testing::ValuesIn(kSingleCases), testing::Values(ConnectionKind::Lan, ConnectionKind::Wireless)),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name)
            + (std::get<1>(info.param) == ConnectionKind::Lan ? "_Lan" : "_Wireless");
    });

class EachLanExchange : public LanExchangeBase, public testing::TestWithParam<LanCase>
{
};

TEST_P(EachLanExchange, SendsWaitsAndJudges)
{
    run(GetParam(), ConnectionKind::LanEach);
}

INSTANTIATE_TEST_SUITE_P(Rows, EachLanExchange, testing::ValuesIn(kEachCases), rowName<LanCase>);

class LanExchangeLife : public LinkFixture, public testing::Test
{
};

// Bytes that arrived unasked before the frame are drained, never taken as its acknowledgement.
TEST_F(LanExchangeLife, StaleBytesAreDrainedBeforeTheSend)
{
    useLan(ConnectionKind::Lan, {QString::fromLatin1(kSingle)});
    peerOf(1).pushNow(hex(kAck5));
    peerOf(1).replyToNextSend({});
    CommandExchange exchange(app);
    EXPECT_FALSE(exchange.WriteValue(5, "BRL", 50));
    EXPECT_EQ(app.LastErrorText, QStringLiteral("127.0.0.10 Not Ack !"));
}

// A connection that broke while idle is found at the next exchange, which ends at once.
TEST_F(LanExchangeLife, ConnectionClosedWhileIdle)
{
    useLan(ConnectionKind::Lan, {QString::fromLatin1(kSingle)});
    peerOf(1).closeNow();
    CommandExchange exchange(app);
    const std::int64_t start = clock.nowMs();
    std::uint8_t value = 0;
    EXPECT_FALSE(exchange.ReadValue(5, "BRI", value));
    EXPECT_EQ(clock.nowMs() - start, 100) << "only the pause after the send";
    EXPECT_EQ(app.LastErrorText, QStringLiteral("Network Not Ack !!"));

    // Once the event loop has reported the close, the link is not even tried.
    network.deliverEvents();
    EXPECT_FALSE(exchange.ReadValue(5, "BRI", value));
    EXPECT_EQ(app.LastErrorText, QStringLiteral("127.0.0.10 connection fail!"));
    EXPECT_TRUE(peerOf(1).received().empty());
}

// Over LAN the deadline follows LastTargetId as the exchange sets it, clamped to 100.
TEST_F(LanExchangeLife, RetryAgainstASilentModule)
{
    useLan(ConnectionKind::Lan, {QString::fromLatin1(kSingle)});
    app.ShowErrorBoxes = true;
    CommandExchange exchange(app);
    const std::int64_t start = clock.nowMs();
    EXPECT_FALSE(exchange.WriteValueRetry(25, "BRL", 50, 2));
    EXPECT_EQ(clock.nowMs() - start, 2 * (100 + 2750 + 100));
    EXPECT_THAT(clock.sleeps(), ElementsAreArray({100, 100, 100, 100}));
    EXPECT_TRUE(prompts.messages().empty());
    EXPECT_TRUE(app.ShowErrorBoxes);
    EXPECT_EQ(app.LastTargetId, 25);
}

// Raw frames go out as they are and wait for nothing.
struct RawCase
{
    const char* name;
    ConnectionKind kind;
    const char* bytes;
    std::vector<int> unusable;
    bool ok;
    std::vector<Sent> sent;
    const char* error;
    std::int64_t elapsedMs;
};

void PrintTo(const RawCase& c, std::ostream* os)
{
    *os << c.name;
}

const RawCase kRawCases[] = {
    {"SingleAnyId", ConnectionKind::Lan, "07 09 01 50 4F 57 08", {}, true, {{1, "07 09 01 50 4F 57 08"}},
        kEarlier, 100},
    {"SingleIdAboveHundred", ConnectionKind::Lan, "07 65 01 50 4F 57 08", {}, false, {}, kEarlier, 0},
    {"SingleUnusable", ConnectionKind::Wireless, "07 01 01 50 4F 57 08", {1}, false, {},
        "127.0.0.10 connection fail!", 100},
    {"EachToTheNamedDisplay", ConnectionKind::LanEach, "07 03 01 50 4F 57 08", {}, true,
        {{3, "07 03 01 50 4F 57 08"}}, kEarlier, 100},
    // Id 0 passes the link check but names no record: nothing leaves, still true.
    {"EachIdZero", ConnectionKind::LanEach, "07 00 02 50 4F 57 01 08", {}, true, {}, kEarlier, 0},
    {"EachNamedUnusable", ConnectionKind::LanEach, "07 02 01 50 4F 57 08", {2}, false, {}, kEarlier, 0},
    // Too short to name a display: taken as Monitor ID 0.
    {"EachOneByte", ConnectionKind::LanEach, "07", {}, true, {}, kEarlier, 0},
    {"SingleEmpty", ConnectionKind::Lan, "", {}, true, {{1, ""}}, kEarlier, 100},
};

class LanRawSend : public LanExchangeBase, public testing::TestWithParam<RawCase>
{
};

TEST_P(LanRawSend, SendsAsTyped)
{
    const RawCase& c = GetParam();
    useWall(c.kind, c.unusable);
    CommandExchange exchange(app);
    const std::int64_t start = clock.nowMs();
    EXPECT_EQ(exchange.SendRaw(hex(c.bytes)), c.ok);
    EXPECT_THAT(sentFrames(), ElementsAreArray(framesOf(c.sent)));
    EXPECT_EQ(app.LastErrorText.toStdString(), c.error);
    EXPECT_EQ(clock.nowMs() - start, c.elapsedMs);
}

INSTANTIATE_TEST_SUITE_P(Rows, LanRawSend, testing::ValuesIn(kRawCases), rowName<RawCase>);

} // namespace
} // namespace ordalis::test
