#include "link/command_exchange.h"
#include "link_fixture.h"

#include <gmock/gmock.h>

#include <optional>

namespace ordalis::test {
namespace {

using testing::ElementsAreArray;

// What display k's connection (or, for the serial line and the single module, display 1)
// answers to the frame it is sent.
struct Answer
{
    int display;
    ScriptedReply reply;
    std::optional<std::int64_t> closeAfterMs = std::nullopt; // the module then closes the connection
};

struct ReadAllGiven
{
    ConnectionKind kind;
    CommandCode code;
    int maxCount;
    int valueLength;
    std::vector<Answer> answers = {}; // none: nothing answers
    std::vector<int> unusable = {}; // displays whose connect was refused
};

struct ReadAllExpected
{
    int count;
    std::vector<int> ids; // the first count ids
    const char* values; // the first count x n value bytes
    std::int64_t elapsedMs;
    std::vector<std::string> sent; // "display: bytes"
};

struct ReadAllCase
{
    const char* name;
    ReadAllGiven given;
    ReadAllExpected expected;
};

void PrintTo(const ReadAllCase& c, std::ostream* os)
{
    *os << c.name;
}

const char* const kBriAll = "07 00 01 42 52 49 08";
const char* const kBri1 = "07 01 00 42 52 49 3C 08";
const char* const kBri2 = "07 02 00 42 52 49 3D 08";
const char* const kBri3 = "07 03 00 42 52 49 3E 08";

// LastTargetId is 5 from an earlier exchange and stays so: every reply is awaited for
// 1500 + 150 ms on the serial link and 2000 + 150 ms over LAN, counted from the read before.
// clang-format off
const ReadAllCase kCases[] = {
    {.name = "ThreeDisplays",
        .given = {.kind = ConnectionKind::Serial, .code = "BRI", .maxCount = 100, .valueLength = 1,
            .answers = {{1, {at(10, kBri1), at(20, kBri2), at(30, kBri3)}}}},
        .expected = {.count = 3, .ids = {1, 2, 3}, .values = "3C 3D 3E", .elapsedMs = 30 + 1650,
            .sent = {std::string("1: ") + kBriAll}}},
    {.name = "OwnFrameSeenFirst",
        .given = {.kind = ConnectionKind::Serial, .code = "BRI", .maxCount = 100, .valueLength = 1,
            .answers = {{1, {at(1, kBriAll), at(10, kBri1), at(20, kBri2), at(30, kBri3)}}}},
        .expected = {.count = 3, .ids = {1, 2, 3}, .values = "3C 3D 3E", .elapsedMs = 30 + 1650,
            .sent = {std::string("1: ") + kBriAll}}},
    {.name = "IdsFromTheReplies",
        .given = {.kind = ConnectionKind::Serial, .code = "BRI", .maxCount = 100, .valueLength = 1,
            .answers = {{1, {at(10, "07 07 00 42 52 49 01 08"), at(20, "07 03 00 42 52 49 02 08")}}}},
        .expected = {.count = 2, .ids = {7, 3}, .values = "01 02", .elapsedMs = 20 + 1650,
            .sent = {std::string("1: ") + kBriAll}}},
    {.name = "ProjectIdStopsAtTheFirst",
        .given = {.kind = ConnectionKind::Serial, .code = "PJD", .maxCount = 100, .valueLength = 1,
            .answers = {{1, {at(10, "07 01 00 50 4A 44 18 08"), at(20, "07 02 00 50 4A 44 18 08")}}}},
        .expected = {.count = 1, .ids = {1}, .values = "18", .elapsedMs = 10,
            .sent = {"1: 07 00 01 50 4A 44 08"}}},
    {.name = "StopsAtMaxCount",
        .given = {.kind = ConnectionKind::Serial, .code = "BRI", .maxCount = 2, .valueLength = 1,
            .answers = {{1, {at(10, kBri1), at(20, kBri2), at(30, kBri3)}}}},
        .expected = {.count = 2, .ids = {1, 2}, .values = "3C 3D", .elapsedMs = 20,
            .sent = {std::string("1: ") + kBriAll}}},
    {.name = "MultiByteValues",
        .given = {.kind = ConnectionKind::Serial, .code = "ERR", .maxCount = 100, .valueLength = 4,
            .answers = {{1, {at(10, "07 01 00 45 52 52 00 00 00 01 08"),
                at(20, "07 02 00 45 52 52 00 00 00 02 08")}}}},
        .expected = {.count = 2, .ids = {1, 2}, .values = "00 00 00 01 00 00 00 02", .elapsedMs = 20 + 1650,
            .sent = {"1: 07 00 01 45 52 52 08"}}},
    {.name = "OnlyTheFirstLetterChecked",
        .given = {.kind = ConnectionKind::Serial, .code = "BRI", .maxCount = 100, .valueLength = 1,
            .answers = {{1, {at(10, "07 01 00 42 58 58 3C 08")}}}},
        .expected = {.count = 1, .ids = {1}, .values = "3C", .elapsedMs = 10 + 1650,
            .sent = {std::string("1: ") + kBriAll}}},
    {.name = "WrongLetterEnds",
        .given = {.kind = ConnectionKind::Serial, .code = "BRI", .maxCount = 100, .valueLength = 1,
            .answers = {{1, {at(10, kBri1), at(20, "07 02 00 58 52 49 3D 08"), at(30, kBri3)}}}},
        .expected = {.count = 1, .ids = {1}, .values = "3C", .elapsedMs = 20,
            .sent = {std::string("1: ") + kBriAll}}},
    {.name = "MissingEndEnds",
        .given = {.kind = ConnectionKind::Serial, .code = "BRI", .maxCount = 100, .valueLength = 1,
            .answers = {{1, {at(10, kBri1), at(20, "07 02 00 42 52 49 3D 09"), at(30, kBri3)}}}},
        .expected = {.count = 1, .ids = {1}, .values = "3C", .elapsedMs = 20,
            .sent = {std::string("1: ") + kBriAll}}},
    {.name = "OtherKindEnds",
        .given = {.kind = ConnectionKind::Serial, .code = "BRI", .maxCount = 100, .valueLength = 1,
            .answers = {{1, {at(10, kBri1), at(20, "07 02 03 42 52 49 3D 08")}}}},
        .expected = {.count = 1, .ids = {1}, .values = "3C", .elapsedMs = 20,
            .sent = {std::string("1: ") + kBriAll}}},
    // After the skipped frame a whole reply must follow, of the reply kind.
    {.name = "OwnFrameThenNoReply",
        .given = {.kind = ConnectionKind::Serial, .code = "BRI", .maxCount = 100, .valueLength = 1,
            .answers = {{1, {at(1, kBriAll), at(10, "07 01 01 42 52 49 3C 08")}}}},
        .expected = {.count = 0, .ids = {}, .values = "", .elapsedMs = 10,
            .sent = {std::string("1: ") + kBriAll}}},
    {.name = "NoiseFirst",
        .given = {.kind = ConnectionKind::Serial, .code = "BRI", .maxCount = 100, .valueLength = 1,
            .answers = {{1, {at(10, "FF FF FF"), at(20, kBri1)}}}},
        .expected = {.count = 0, .ids = {}, .values = "", .elapsedMs = 10,
            .sent = {std::string("1: ") + kBriAll}}},
    {.name = "SilentChain",
        .given = {.kind = ConnectionKind::Serial, .code = "BRI", .maxCount = 100, .valueLength = 1},
        .expected = {.count = 0, .ids = {}, .values = "", .elapsedMs = 1650,
            .sent = {std::string("1: ") + kBriAll}}},
    {.name = "ReplyInPieces",
        .given = {.kind = ConnectionKind::Serial, .code = "BRI", .maxCount = 100, .valueLength = 1,
            .answers = {{1, {at(10, "07 01"), at(500, "00 42 52 49 3C 08")}}}},
        .expected = {.count = 1, .ids = {1}, .values = "3C", .elapsedMs = 500 + 1650,
            .sent = {std::string("1: ") + kBriAll}}},
    {.name = "CutShort",
        .given = {.kind = ConnectionKind::Serial, .code = "BRI", .maxCount = 100, .valueLength = 1,
            .answers = {{1, {at(10, kBri1), at(20, "07 02 00 42")}}}},
        .expected = {.count = 1, .ids = {1}, .values = "3C", .elapsedMs = 20 + 1650,
            .sent = {std::string("1: ") + kBriAll}}},

    {.name = "OneModule",
        .given = {.kind = ConnectionKind::Lan, .code = "BRI", .maxCount = 100, .valueLength = 1,
            .answers = {{1, {at(110, kBri1), at(120, kBri2), at(130, kBri3)}}}},
        .expected = {.count = 3, .ids = {1, 2, 3}, .values = "3C 3D 3E", .elapsedMs = 130 + 2150,
            .sent = {std::string("1: ") + kBriAll}}},
    {.name = "ChromaticityOverWireless",
        .given = {.kind = ConnectionKind::Wireless, .code = "RXY", .maxCount = 1, .valueLength = 25,
            .answers = {{1, {at(110,
                "07 01 00 52 58 59 03 20 0C 37 00 01 00 02 00 03 00 04 00 05 00 06 00 07 00 08 00 09 00 0A "
                "00 08")}}}},
        .expected = {.count = 1, .ids = {1},
            .values = "03 20 0C 37 00 01 00 02 00 03 00 04 00 05 00 06 00 07 00 08 00 09 00 0A 00",
            .elapsedMs = 110, .sent = {"1: 07 00 01 52 58 59 08"}}},
    {.name = "OneModuleClosedMidReply",
        .given = {.kind = ConnectionKind::Lan, .code = "BRI", .maxCount = 100, .valueLength = 1,
            .answers = {{.display = 1, .reply = {at(110, kBri1), at(120, "07 02 00")}, .closeAfterMs = 300}}},
        .expected = {.count = 1, .ids = {1}, .values = "3C", .elapsedMs = 300,
            .sent = {std::string("1: ") + kBriAll}}},

    // One connection per display: every display is sent the frame (100 ms each), then each
    // connection gives one reply, unchecked, or zeros.
    {.name = "EachDisplay",
        .given = {.kind = ConnectionKind::LanEach, .code = "BRI", .maxCount = 100, .valueLength = 1,
            .answers = {{1, {at(50, kBri1)}}, {3, {at(50, "07 03 00 58 58 58 3E 00")}}}},
        .expected = {.count = 3, .ids = {1, 2, 3}, .values = "3C 00 3E", .elapsedMs = 300 + 2150,
            .sent = {std::string("1: ") + kBriAll, std::string("2: ") + kBriAll,
                std::string("3: ") + kBriAll}}},
    {.name = "EachUnusableIsZero",
        .given = {.kind = ConnectionKind::LanEach, .code = "BRI", .maxCount = 100, .valueLength = 1,
            .answers = {{1, {at(50, kBri1)}}, {3, {at(50, kBri3)}}}, .unusable = {2}},
        .expected = {.count = 3, .ids = {1, 2, 3}, .values = "3C 00 3E", .elapsedMs = 200,
            .sent = {std::string("1: ") + kBriAll, std::string("3: ") + kBriAll}}},
    // The arrays hold two: only two displays are read.
    {.name = "EachCappedByTheArrays",
        .given = {.kind = ConnectionKind::LanEach, .code = "BRI", .maxCount = 2, .valueLength = 1,
            .answers = {{1, {at(50, kBri1)}}, {2, {at(50, kBri2)}}}},
        .expected = {.count = 2, .ids = {1, 2}, .values = "3C 3D", .elapsedMs = 200,
            .sent = {std::string("1: ") + kBriAll, std::string("2: ") + kBriAll}}},
};
// clang-format on

class ReadAll : public LinkFixture, public testing::TestWithParam<ReadAllCase>
{
};

TEST_P(ReadAll, CollectsReplies)
{
    const ReadAllGiven& given = GetParam().given;
    const ReadAllExpected& expected = GetParam().expected;
    const bool serial = given.kind == ConnectionKind::Serial;
    if (!serial) {
        std::vector<QString> addresses {QStringLiteral("127.0.0.11")};
        if (given.kind == ConnectionKind::LanEach)
            addresses
                = {QStringLiteral("127.0.0.11"), QStringLiteral("127.0.0.12"), QStringLiteral("127.0.0.13")};
        for (int display : given.unusable)
            network.peer(addresses[std::size_t(display) - 1], 23).refuses = true;
        useLan(given.kind, addresses);
    }
    for (const Answer& a : given.answers) {
        if (serial)
            line.replyToNextWrite(a.reply);
        else
            peerOf(a.display).replyToNextSend(a.reply);
        if (a.closeAfterMs)
            peerOf(a.display).closeAfterNextSend(*a.closeAfterMs);
    }
    app.LastTargetId = 5;
    CommandExchange exchange(app);
    std::vector<std::uint8_t> ids(std::size_t(given.maxCount), 0xEE);
    std::vector<std::uint8_t> values(std::size_t(given.maxCount * given.valueLength), 0xEE);
    const std::int64_t start = clock.nowMs();

    const std::optional<std::uint8_t> replies
        = exchange.ReadAllDisplays(given.code, ids, values, given.maxCount, given.valueLength);

    ASSERT_TRUE(replies.has_value());
    const int count = *replies;
    ASSERT_EQ(count, expected.count);
    EXPECT_THAT(std::vector<int>(ids.begin(), ids.begin() + count), ElementsAreArray(expected.ids));
    EXPECT_EQ(toHex(Bytes(values.begin(), values.begin() + count * given.valueLength)), expected.values);
    EXPECT_EQ(clock.nowMs() - start, expected.elapsedMs);
    std::vector<std::string> sent;
    if (serial) {
        for (const ReceivedFrame& f : line.writes())
            sent.push_back("1: " + toHex(f.bytes));
    } else {
        for (std::size_t i = 0; i < app.DisplayList.size(); ++i) {
            for (const ReceivedFrame& f : peerOf(int(i) + 1).received())
                sent.push_back(std::to_string(i + 1) + ": " + toHex(f.bytes));
        }
    }
    EXPECT_THAT(sent, ElementsAreArray(expected.sent));
    EXPECT_EQ(app.LastTargetId, 5);
    EXPECT_EQ(app.LastErrorText.toStdString(), LinkFixture::kEarlierError);
}

INSTANTIATE_TEST_SUITE_P(Rows, ReadAll, testing::ValuesIn(kCases), rowName<ReadAllCase>);

class ReadAllLink : public LinkFixture, public testing::Test
{
protected:
    std::optional<std::uint8_t> readAll()
    {
        std::array<std::uint8_t, 4> ids {};
        std::array<std::uint8_t, 4> values {};
        return CommandExchange(app).ReadAllDisplays("BRI", ids, values, 4, 1);
    }
};

TEST_F(ReadAllLink, UnusableLinkGivesNoCount)
{
    line.setOpenFails(true);
    EXPECT_EQ(readAll(), std::nullopt);
    EXPECT_EQ(app.LastErrorText, QStringLiteral("RS232 device is not ready !!"));

    line.setOpenFails(false);
    line.failNextWrite();
    EXPECT_EQ(readAll(), std::nullopt);
    EXPECT_FALSE(app.ComPortOpen);

    network.peer(QStringLiteral("127.0.0.11"), 23).refuses = true;
    useLan(ConnectionKind::Lan, {QStringLiteral("127.0.0.11")});
    EXPECT_EQ(readAll(), std::nullopt);
    EXPECT_EQ(app.LastErrorText, QStringLiteral("127.0.0.11 connection fail!"));
}

TEST_F(ReadAllLink, NoDisplayUsableGivesNoCountWithoutText)
{
    network.peer(QStringLiteral("127.0.0.11"), 23).refuses = true;
    network.peer(QStringLiteral("127.0.0.12"), 23).refuses = true;
    useLan(ConnectionKind::LanEach, {QStringLiteral("127.0.0.11"), QStringLiteral("127.0.0.12")});
    EXPECT_EQ(readAll(), std::nullopt);
    EXPECT_EQ(app.LastErrorText.toStdString(), LinkFixture::kEarlierError);
}

} // namespace
} // namespace ordalis::test
