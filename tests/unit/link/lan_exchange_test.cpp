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
struct LanGiven
{
    Op op;
    std::uint8_t target;
    CommandCode code;
    std::uint8_t value = 0;
    std::vector<PeerScript> peers = {}; // none: every module stays silent
    std::vector<int> unusable = {}; // displays whose connect was refused (state 2)
    bool showBoxes = false;
};

struct LanExpected
{
    std::vector<Sent> sent;
    bool ok;
    int readValue = -1; // -1: nothing stored
    const char* error;
    std::vector<Box> boxes = {};
    std::int64_t elapsedMs;
    std::vector<int> statusAfter = {}; // status byte per record; empty: all still 0
};

struct LanCase
{
    const char* name;
    LanGiven given;
    LanExpected expected;
};

// Both halves of a row side by side, as exchangeAndCheck reads them.
struct LanRun : LanGiven, LanExpected
{
};

void PrintTo(const LanCase& c, std::ostream* os)
{
    *os << c.name;
}

const char* const kSingleNotAck = "127.0.0.10 Not Ack !";
const char* const kSerialNotAck = "RS232 Not Ack !!";
const char* const kNetworkNotAck = "Network Not Ack !!";

// Rows for the single connection; each runs as kind 1 (LAN) and as kind 3 (wireless).
// clang-format off
const LanCase kSingleCases[] = {
    {.name = "AckArrives",
        .given = {.op = Op::Write, .target = 5, .code = "BRL", .value = 50, .peers = {{1, {at(150, kAck5)}}}},
        .expected = {.sent = {{1, kBrl5}}, .ok = true, .error = kEarlier, .elapsedMs = 150}},
    {.name = "AckDuringThePauseAfterTheSend",
        .given = {.op = Op::Write, .target = 5, .code = "BRL", .value = 50, .peers = {{1, {at(20, kAck5)}}}},
        .expected = {.sent = {{1, kBrl5}}, .ok = true, .error = kEarlier, .elapsedMs = 100}},
    {.name = "AckCodeAndEndNotChecked",
        .given = {.op = Op::Write, .target = 5, .code = "BRL", .value = 50,
            .peers = {{1, {at(150, "07 64 00 58 58 58 00 00")}}}},
        .expected = {.sent = {{1, kBrl5}}, .ok = true, .error = kEarlier, .elapsedMs = 150}},
    {.name = "AckInPieces",
        .given = {.op = Op::Write, .target = 5, .code = "BRL", .value = 50,
            .peers = {{1, {at(150, "07 05"), at(900, "00 42 52 4C 32"), at(2249, "08")}}}},
        .expected = {.sent = {{1, kBrl5}}, .ok = true, .error = kEarlier, .elapsedMs = 2249}},
    {.name = "LastPieceAfterDeadline",
        .given = {.op = Op::Write, .target = 5, .code = "BRL", .value = 50,
            .peers = {{1, {at(150, "07 05 00 42 52 4C 32"), at(2300, "08")}}}},
        .expected = {.sent = {{1, kBrl5}}, .ok = false, .error = kSingleNotAck, .elapsedMs = 2250}},
    {.name = "SilentModule",
        .given = {.op = Op::Write, .target = 5, .code = "BRL", .value = 50},
        .expected = {.sent = {{1, kBrl5}}, .ok = false, .error = kSingleNotAck, .elapsedMs = 2250}},
    {.name = "SilentModuleWithBoxes",
        .given = {.op = Op::Write, .target = 5, .code = "BRL", .value = 50, .showBoxes = true},
        .expected = {.sent = {{1, kBrl5}}, .ok = false, .error = kSingleNotAck,
            .boxes = {{kSingleNotAck, PromptIcon::Stop}}, .elapsedMs = 2250}},
    {.name = "AllDisplaysNotAwaited",
        .given = {.op = Op::Write, .target = 0x83, .code = "BRL", .value = 50},
        .expected = {.sent = {{1, "07 00 02 42 52 4C 32 08"}}, .ok = true, .error = kEarlier,
            .elapsedMs = 100}},
    {.name = "EchoThenAck",
        .given = {.op = Op::Write, .target = 5, .code = "BRL", .value = 50,
            .peers = {{1, {at(110, kBrl5), at(160, kAck5)}}}},
        .expected = {.sent = {{1, kBrl5}}, .ok = true, .error = kEarlier, .elapsedMs = 160}},
    {.name = "EchoThenAnyEightBytes",
        .given = {.op = Op::Write, .target = 5, .code = "BRL", .value = 50,
            .peers = {{1, {at(110, kBrl5), at(160, "00 00 00 00 00 00 00 00")}}}},
        .expected = {.sent = {{1, kBrl5}}, .ok = true, .error = kEarlier, .elapsedMs = 160}},
    // The second receive has a deadline of its own, from the end of the first.
    {.name = "EchoThenSilence",
        .given = {.op = Op::Write, .target = 5, .code = "BRL", .value = 50, .peers = {{1, {at(110, kBrl5)}}}},
        .expected = {.sent = {{1, kBrl5}}, .ok = false, .error = kSerialNotAck, .elapsedMs = 110 + 2150}},
    {.name = "WrongKindSaysRs232",
        .given = {.op = Op::Write, .target = 5, .code = "BRL", .value = 50,
            .peers = {{1, {at(150, "07 05 03 42 52 4C 32 08")}}}, .showBoxes = true},
        .expected = {.sent = {{1, kBrl5}}, .ok = false, .error = kSerialNotAck,
            .boxes = {{kSerialNotAck, PromptIcon::Stop}}, .elapsedMs = 150}},
    {.name = "WrongStart",
        .given = {.op = Op::Write, .target = 5, .code = "BRL", .value = 50,
            .peers = {{1, {at(150, "06 05 00 42 52 4C 32 08")}}}},
        .expected = {.sent = {{1, kBrl5}}, .ok = false, .error = kSingleNotAck, .elapsedMs = 150}},
    {.name = "MonitorIdAbove100",
        .given = {.op = Op::Write, .target = 5, .code = "BRL", .value = 50,
            .peers = {{1, {at(150, "07 65 00 42 52 4C 32 08")}}}},
        .expected = {.sent = {{1, kBrl5}}, .ok = false, .error = kSingleNotAck, .elapsedMs = 150}},
    {.name = "NoiseBeforeAck",
        .given = {.op = Op::Write, .target = 5, .code = "BRL", .value = 50,
            .peers = {{1, {at(120, "FF"), at(150, kAck5)}}}},
        .expected = {.sent = {{1, kBrl5}}, .ok = false, .error = kSingleNotAck, .elapsedMs = 150}},
    {.name = "ClosedAfterAPiece",
        .given = {.op = Op::Write, .target = 5, .code = "BRL", .value = 50,
            .peers = {{.display = 1, .reply = {at(150, "07 05 00")}, .closeAfterMs = 400}}},
        .expected = {.sent = {{1, kBrl5}}, .ok = false, .error = kSingleNotAck, .elapsedMs = 400}},
    {.name = "ClosedAfterTheEcho",
        .given = {.op = Op::Write, .target = 5, .code = "BRL", .value = 50,
            .peers = {{.display = 1, .reply = {at(110, kBrl5)}, .closeAfterMs = 400}}},
        .expected = {.sent = {{1, kBrl5}}, .ok = false, .error = kSerialNotAck, .elapsedMs = 400}},
    // The single connection is not usable: nothing is sent; the text names the module, with
    // a box without icon or a pause of 100 ms instead.
    {.name = "ConnectionFailQuiet",
        .given = {.op = Op::Write, .target = 5, .code = "BRL", .value = 50, .unusable = {1}},
        .expected = {.sent = {}, .ok = false, .error = "127.0.0.10 connection fail!", .elapsedMs = 100}},
    {.name = "ConnectionFailWithBox",
        .given = {.op = Op::Write, .target = 5, .code = "BRL", .value = 50, .unusable = {1},
            .showBoxes = true},
        .expected = {.sent = {}, .ok = false, .error = "127.0.0.10 connection fail!",
            .boxes = {{"127.0.0.10 connection fail!", PromptIcon::None}}, .elapsedMs = 0}},
    {.name = "ReadConnectionFail",
        .given = {.op = Op::Read, .target = 5, .code = "BRI", .unusable = {1}},
        .expected = {.sent = {}, .ok = false, .error = "127.0.0.10 connection fail!", .elapsedMs = 100}},

    {.name = "ReadReply",
        .given = {.op = Op::Read, .target = 5, .code = "BRI", .peers = {{1, {at(150, kBriReply5)}}}},
        .expected = {.sent = {{1, kBri5}}, .ok = true, .readValue = 60, .error = kEarlier, .elapsedMs = 150}},
    {.name = "ReadReplyInPieces",
        .given = {.op = Op::Read, .target = 5, .code = "BRI",
            .peers = {{1, {at(150, "07 05"), at(160, "00 42 52"), at(170, "49 3C 08")}}}},
        .expected = {.sent = {{1, kBri5}}, .ok = true, .readValue = 60, .error = kEarlier, .elapsedMs = 170}},
    {.name = "ReadEchoThenReply",
        .given = {.op = Op::Read, .target = 5, .code = "BRI",
            .peers = {{1, {at(105, kBri5), at(150, kBriReply5)}}}},
        .expected = {.sent = {{1, kBri5}}, .ok = true, .readValue = 60, .error = kEarlier, .elapsedMs = 150}},
    {.name = "ReadAllSelectedGoesToOne",
        .given = {.op = Op::Read, .target = 0x83, .code = "BRI",
            .peers = {{1, {at(150, "07 01 00 42 52 49 3C 08")}}}},
        .expected = {.sent = {{1, "07 01 01 42 52 49 08"}}, .ok = true, .readValue = 60, .error = kEarlier,
            .elapsedMs = 150}},
    {.name = "ReadOtherDisplayAnswers",
        .given = {.op = Op::Read, .target = 5, .code = "BRI",
            .peers = {{1, {at(150, "07 06 00 42 52 49 3C 08")}}}},
        .expected = {.sent = {{1, kBri5}}, .ok = false, .error = kNetworkNotAck, .elapsedMs = 150}},
    {.name = "ReadWriteFrameSeen",
        .given = {.op = Op::Read, .target = 5, .code = "BRI",
            .peers = {{1, {at(150, "07 05 02 42 52 49 3C 08")}}}},
        .expected = {.sent = {{1, kBri5}}, .ok = false, .error = kNetworkNotAck, .elapsedMs = 150}},
    {.name = "ReadEchoThenOtherDisplay",
        .given = {.op = Op::Read, .target = 5, .code = "BRI",
            .peers = {{1, {at(105, kBri5), at(150, "07 04 00 42 52 49 3C 08")}}}},
        .expected = {.sent = {{1, kBri5}}, .ok = false, .error = kNetworkNotAck, .elapsedMs = 150}},
    {.name = "ReadSilent",
        .given = {.op = Op::Read, .target = 5, .code = "BRI", .showBoxes = true},
        .expected = {.sent = {{1, kBri5}}, .ok = false, .error = kNetworkNotAck,
            .boxes = {{kNetworkNotAck, PromptIcon::Stop}}, .elapsedMs = 2250}},
    {.name = "ReadShortThenClosed",
        .given = {.op = Op::Read, .target = 5, .code = "BRI",
            .peers = {{.display = 1, .reply = {at(150, "07 05 00 42")}, .closeAfterMs = 300}}},
        .expected = {.sent = {{1, kBri5}}, .ok = false, .error = kNetworkNotAck, .elapsedMs = 300}},
};
// clang-format on

// Rows for one connection per display, on a wall of three displays (3 x 1).
// clang-format off
const LanCase kEachCases[] = {
    {.name = "AckFromTheNamedDisplay",
        .given = {.op = Op::Write, .target = 2, .code = "BRL", .value = 50,
            .peers = {{2, {at(150, "07 02 00 42 52 4C 32 08")}}}},
        .expected = {.sent = {{2, "07 02 02 42 52 4C 32 08"}}, .ok = true, .error = kEarlier,
            .elapsedMs = 150}},
    // Only start, end and the code letters count here.
    {.name = "AckIdAndKindNotChecked",
        .given = {.op = Op::Write, .target = 2, .code = "BRL", .value = 50,
            .peers = {{2, {at(150, "07 09 05 42 52 4C 00 08")}}}},
        .expected = {.sent = {{2, "07 02 02 42 52 4C 32 08"}}, .ok = true, .error = kEarlier,
            .elapsedMs = 150}},
    {.name = "AckOfAnotherCode",
        .given = {.op = Op::Write, .target = 2, .code = "BRL", .value = 50,
            .peers = {{2, {at(150, "07 02 00 42 52 49 32 08")}}}, .showBoxes = true},
        .expected = {.sent = {{2, "07 02 02 42 52 4C 32 08"}}, .ok = false, .error = "127.0.0.12 Not Ack !",
            .boxes = {{"127.0.0.12 Not Ack !", PromptIcon::Stop}}, .elapsedMs = 150}},
    {.name = "AckWithoutEnd",
        .given = {.op = Op::Write, .target = 2, .code = "BRL", .value = 50,
            .peers = {{2, {at(150, "07 02 00 42 52 4C 32 09")}}}},
        .expected = {.sent = {{2, "07 02 02 42 52 4C 32 08"}}, .ok = false, .error = "127.0.0.12 Not Ack !",
            .elapsedMs = 150}},
    // A missing acknowledgement marks the record: the keeper rebuilds its connection.
    {.name = "SilentDisplayIsMarked",
        .given = {.op = Op::Write, .target = 2, .code = "BRL", .value = 50},
        .expected = {.sent = {{2, "07 02 02 42 52 4C 32 08"}}, .ok = false, .error = "127.0.0.12 Not Ack !",
            .elapsedMs = 100 + 2060, .statusAfter = {0, 255, 0}}},
    {.name = "ClosedDisplayIsMarked",
        .given = {.op = Op::Write, .target = 3, .code = "BRL", .value = 50,
            .peers = {{.display = 3, .reply = {}, .closeAfterMs = 50}}},
        .expected = {.sent = {{3, "07 03 02 42 52 4C 32 08"}}, .ok = false, .error = "127.0.0.13 Not Ack !",
            .elapsedMs = 100, .statusAfter = {0, 0, 255}}},
    {.name = "ToAllSentToEachNotAwaited",
        .given = {.op = Op::Write, .target = 0x81, .code = "BRL", .value = 50},
        .expected = {.sent = {{1, "07 00 02 42 52 4C 32 08"}, {2, "07 00 02 42 52 4C 32 08"},
                {3, "07 00 02 42 52 4C 32 08"}},
            .ok = true, .error = kEarlier, .elapsedMs = 300}},
    {.name = "ToAllSkipsUnusable",
        .given = {.op = Op::Write, .target = 0, .code = "POW", .value = 1, .unusable = {2}},
        .expected = {.sent = {{1, "07 00 02 50 4F 57 01 08"}, {3, "07 00 02 50 4F 57 01 08"}}, .ok = true,
            .error = kEarlier, .elapsedMs = 200}},
    {.name = "ToAllNoneUsable",
        .given = {.op = Op::Write, .target = 0, .code = "POW", .value = 1, .unusable = {1, 2, 3},
            .showBoxes = true},
        .expected = {.sent = {}, .ok = false, .error = kEarlier, .elapsedMs = 0}},
    {.name = "CidToOneDisplay",
        .given = {.op = Op::Write, .target = 2, .code = "CID", .value = 7,
            .peers = {{2, {at(150, "07 02 00 43 49 44 07 08")}}}},
        .expected = {.sent = {{2, "07 02 02 43 49 44 07 08"}}, .ok = true, .error = kEarlier,
            .elapsedMs = 150}},
    // A CID to all displays names no display: nothing is sent and the text shows the first
    // record's address.
    {.name = "CidToAllNamesNoDisplay",
        .given = {.op = Op::Write, .target = 0x80, .code = "CID", .value = 1, .showBoxes = true},
        .expected = {.sent = {}, .ok = false, .error = "127.0.0.11 Not Ack !",
            .boxes = {{"127.0.0.11 Not Ack !", PromptIcon::Stop}}, .elapsedMs = 0}},
    {.name = "CidAboveHundredNamesNoDisplay",
        .given = {.op = Op::Write, .target = 0x82, .code = "CID", .value = 1},
        .expected = {.sent = {}, .ok = false, .error = "127.0.0.11 Not Ack !", .elapsedMs = 0}},
    // A display beyond the list, or one whose connection is not usable: no frame, no text.
    {.name = "BeyondTheList",
        .given = {.op = Op::Write, .target = 4, .code = "BRL", .value = 50, .showBoxes = true},
        .expected = {.sent = {}, .ok = false, .error = kEarlier, .elapsedMs = 0}},
    {.name = "NamedDisplayUnusable",
        .given = {.op = Op::Write, .target = 2, .code = "BRL", .value = 50, .unusable = {2},
            .showBoxes = true},
        .expected = {.sent = {}, .ok = false, .error = kEarlier, .elapsedMs = 0}},
    {.name = "ReadFromTheNamedDisplay",
        .given = {.op = Op::Read, .target = 3, .code = "BRI",
            .peers = {{3, {at(150, "07 03 00 42 52 49 3C 08")}}}},
        .expected = {.sent = {{3, "07 03 01 42 52 49 08"}}, .ok = true, .readValue = 60, .error = kEarlier,
            .elapsedMs = 150}},
    {.name = "ReadAllSelectedGoesToOne",
        .given = {.op = Op::Read, .target = 0x83, .code = "BRI",
            .peers = {{1, {at(150, "07 01 00 42 52 49 3C 08")}}}},
        .expected = {.sent = {{1, "07 01 01 42 52 49 08"}}, .ok = true, .readValue = 60, .error = kEarlier,
            .elapsedMs = 150}},
    // A missing reply to a read leaves the record alone.
    {.name = "ReadSilent",
        .given = {.op = Op::Read, .target = 2, .code = "BRI"},
        .expected = {.sent = {{2, "07 02 01 42 52 49 08"}}, .ok = false, .error = kNetworkNotAck,
            .elapsedMs = 100 + 2060}},
    {.name = "ReadBeyondTheList",
        .given = {.op = Op::Read, .target = 9, .code = "BRI"},
        .expected = {.sent = {}, .ok = false, .error = kEarlier, .elapsedMs = 0}},
};
// clang-format on

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
        useWall(kind, c.given.unusable);
        for (const PeerScript& p : c.given.peers) {
            peerOf(p.display).replyToNextSend(p.reply);
            if (p.closeAfterMs)
                peerOf(p.display).closeAfterNextSend(*p.closeAfterMs);
        }
        exchangeAndCheck(LanRun {c.given, c.expected});
        EXPECT_THAT(sentFrames(), ElementsAreArray(framesOf(c.expected.sent)));
        const std::vector<int>& statusAfter = c.expected.statusAfter;
        std::vector<int> status;
        for (const IPixy& record : app.DisplayList)
            status.push_back(record.status);
        EXPECT_THAT(status,
            ElementsAreArray(
                statusAfter.empty() ? std::vector<int>(app.DisplayList.size(), 0) : statusAfter));
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
    [](const auto& row) {
        return std::string(std::get<0>(row.param).name)
            + (std::get<1>(row.param) == ConnectionKind::Lan ? "_Lan" : "_Wireless");
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
struct RawGiven
{
    ConnectionKind kind;
    const char* bytes;
    std::vector<int> unusable = {}; // displays whose connect was refused
};

struct RawExpected
{
    bool ok;
    std::vector<Sent> sent;
    const char* error;
    std::int64_t elapsedMs;
};

struct RawCase
{
    const char* name;
    RawGiven given;
    RawExpected expected;
};

void PrintTo(const RawCase& c, std::ostream* os)
{
    *os << c.name;
}

// clang-format off
const RawCase kRawCases[] = {
    {.name = "SingleAnyId",
        .given = {.kind = ConnectionKind::Lan, .bytes = "07 09 01 50 4F 57 08"},
        .expected = {.ok = true, .sent = {{1, "07 09 01 50 4F 57 08"}}, .error = kEarlier, .elapsedMs = 100}},
    {.name = "SingleIdAboveHundred",
        .given = {.kind = ConnectionKind::Lan, .bytes = "07 65 01 50 4F 57 08"},
        .expected = {.ok = false, .sent = {}, .error = kEarlier, .elapsedMs = 0}},
    {.name = "SingleUnusable",
        .given = {.kind = ConnectionKind::Wireless, .bytes = "07 01 01 50 4F 57 08", .unusable = {1}},
        .expected = {.ok = false, .sent = {}, .error = "127.0.0.10 connection fail!", .elapsedMs = 100}},
    {.name = "EachToTheNamedDisplay",
        .given = {.kind = ConnectionKind::LanEach, .bytes = "07 03 01 50 4F 57 08"},
        .expected = {.ok = true, .sent = {{3, "07 03 01 50 4F 57 08"}}, .error = kEarlier, .elapsedMs = 100}},
    // Id 0 passes the link check but names no record: nothing leaves, still true.
    {.name = "EachIdZero",
        .given = {.kind = ConnectionKind::LanEach, .bytes = "07 00 02 50 4F 57 01 08"},
        .expected = {.ok = true, .sent = {}, .error = kEarlier, .elapsedMs = 0}},
    {.name = "EachNamedUnusable",
        .given = {.kind = ConnectionKind::LanEach, .bytes = "07 02 01 50 4F 57 08", .unusable = {2}},
        .expected = {.ok = false, .sent = {}, .error = kEarlier, .elapsedMs = 0}},
    // Too short to name a display: taken as Monitor ID 0.
    {.name = "EachOneByte",
        .given = {.kind = ConnectionKind::LanEach, .bytes = "07"},
        .expected = {.ok = true, .sent = {}, .error = kEarlier, .elapsedMs = 0}},
    {.name = "SingleEmpty",
        .given = {.kind = ConnectionKind::Lan, .bytes = ""},
        .expected = {.ok = true, .sent = {{1, ""}}, .error = kEarlier, .elapsedMs = 100}},
};
// clang-format on

class LanRawSend : public LanExchangeBase, public testing::TestWithParam<RawCase>
{
};

TEST_P(LanRawSend, SendsAsTyped)
{
    const RawCase& c = GetParam();
    useWall(c.given.kind, c.given.unusable);
    CommandExchange exchange(app);
    const std::int64_t start = clock.nowMs();
    EXPECT_EQ(exchange.SendRaw(hex(c.given.bytes)), c.expected.ok);
    EXPECT_THAT(sentFrames(), ElementsAreArray(framesOf(c.expected.sent)));
    EXPECT_EQ(app.LastErrorText.toStdString(), c.expected.error);
    EXPECT_EQ(clock.nowMs() - start, c.expected.elapsedMs);
}

INSTANTIATE_TEST_SUITE_P(Rows, LanRawSend, testing::ValuesIn(kRawCases), rowName<RawCase>);

} // namespace
} // namespace ordalis::test
