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

struct ReadAllCase
{
    const char* name;
    ConnectionKind kind;
    CommandCode code;
    int maxCount;
    int valueLength;
    std::vector<Answer> answers;
    std::vector<int> unusable; // displays whose connect was refused
    int count;
    std::vector<int> ids; // the first count ids
    const char* values; // the first count x n value bytes
    std::int64_t elapsedMs;
    std::vector<std::string> sent; // "display: bytes"
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
const ReadAllCase kCases[] = {
    {"ThreeDisplays", ConnectionKind::Serial, "BRI", 100, 1,
        {{1, {at(10, kBri1), at(20, kBri2), at(30, kBri3)}}}, {}, 3, {1, 2, 3}, "3C 3D 3E", 30 + 1650,
        {std::string("1: ") + kBriAll}},
    {"OwnFrameSeenFirst", ConnectionKind::Serial, "BRI", 100, 1,
        {{1, {at(1, kBriAll), at(10, kBri1), at(20, kBri2), at(30, kBri3)}}}, {}, 3, {1, 2, 3}, "3C 3D 3E",
        30 + 1650, {std::string("1: ") + kBriAll}},
    {"IdsFromTheReplies", ConnectionKind::Serial, "BRI", 100, 1,
        {{1, {at(10, "07 07 00 42 52 49 01 08"), at(20, "07 03 00 42 52 49 02 08")}}}, {}, 2, {7, 3}, "01 02",
        20 + 1650, {std::string("1: ") + kBriAll}},
    {"ProjectIdStopsAtTheFirst", ConnectionKind::Serial, "PJD", 100, 1,
        {{1, {at(10, "07 01 00 50 4A 44 18 08"), at(20, "07 02 00 50 4A 44 18 08")}}}, {}, 1, {1}, "18", 10,
        {"1: 07 00 01 50 4A 44 08"}},
    {"StopsAtMaxCount", ConnectionKind::Serial, "BRI", 2, 1,
        {{1, {at(10, kBri1), at(20, kBri2), at(30, kBri3)}}}, {}, 2, {1, 2}, "3C 3D", 20,
        {std::string("1: ") + kBriAll}},
    {"MultiByteValues", ConnectionKind::Serial, "ERR", 100, 4,
        {{1, {at(10, "07 01 00 45 52 52 00 00 00 01 08"), at(20, "07 02 00 45 52 52 00 00 00 02 08")}}}, {},
        2, {1, 2}, "00 00 00 01 00 00 00 02", 20 + 1650, {"1: 07 00 01 45 52 52 08"}},
    {"OnlyTheFirstLetterChecked", ConnectionKind::Serial, "BRI", 100, 1,
        {{1, {at(10, "07 01 00 42 58 58 3C 08")}}}, {}, 1, {1}, "3C", 10 + 1650,
        {std::string("1: ") + kBriAll}},
    {"WrongLetterEnds", ConnectionKind::Serial, "BRI", 100, 1,
        {{1, {at(10, kBri1), at(20, "07 02 00 58 52 49 3D 08"), at(30, kBri3)}}}, {}, 1, {1}, "3C", 20,
        {std::string("1: ") + kBriAll}},
    {"MissingEndEnds", ConnectionKind::Serial, "BRI", 100, 1,
        {{1, {at(10, kBri1), at(20, "07 02 00 42 52 49 3D 09"), at(30, kBri3)}}}, {}, 1, {1}, "3C", 20,
        {std::string("1: ") + kBriAll}},
    {"OtherKindEnds", ConnectionKind::Serial, "BRI", 100, 1,
        {{1, {at(10, kBri1), at(20, "07 02 03 42 52 49 3D 08")}}}, {}, 1, {1}, "3C", 20,
        {std::string("1: ") + kBriAll}},
    // After the skipped frame a whole reply must follow, of the reply kind.
    {"OwnFrameThenNoReply", ConnectionKind::Serial, "BRI", 100, 1,
        {{1, {at(1, kBriAll), at(10, "07 01 01 42 52 49 3C 08")}}}, {}, 0, {}, "", 10,
        {std::string("1: ") + kBriAll}},
    {"NoiseFirst", ConnectionKind::Serial, "BRI", 100, 1, {{1, {at(10, "FF FF FF"), at(20, kBri1)}}}, {}, 0,
        {}, "", 10, {std::string("1: ") + kBriAll}},
    {"SilentChain", ConnectionKind::Serial, "BRI", 100, 1, {}, {}, 0, {}, "", 1650,
        {std::string("1: ") + kBriAll}},
    {"ReplyInPieces", ConnectionKind::Serial, "BRI", 100, 1,
        {{1, {at(10, "07 01"), at(500, "00 42 52 49 3C 08")}}}, {}, 1, {1}, "3C", 500 + 1650,
        {std::string("1: ") + kBriAll}},
    {"CutShort", ConnectionKind::Serial, "BRI", 100, 1, {{1, {at(10, kBri1), at(20, "07 02 00 42")}}}, {}, 1,
        {1}, "3C", 20 + 1650, {std::string("1: ") + kBriAll}},

    {"OneModule", ConnectionKind::Lan, "BRI", 100, 1, {{1, {at(110, kBri1), at(120, kBri2), at(130, kBri3)}}},
        {}, 3, {1, 2, 3}, "3C 3D 3E", 130 + 2150, {std::string("1: ") + kBriAll}},
    {"ChromaticityOverWireless", ConnectionKind::Wireless, "RXY", 1, 25,
        {{1,
            {at(110,
                "07 01 00 52 58 59 03 20 0C 37 00 01 00 02 00 03 00 04 00 05 00 06 00 07 00 08 00 09 00 0A "
                "00 08")}}},
        {}, 1, {1}, "03 20 0C 37 00 01 00 02 00 03 00 04 00 05 00 06 00 07 00 08 00 09 00 0A 00", 110,
        {"1: 07 00 01 52 58 59 08"}},
    {"OneModuleClosedMidReply", ConnectionKind::Lan, "BRI", 100, 1,
        {{1, {at(110, kBri1), at(120, "07 02 00")}, 300}}, {}, 1, {1}, "3C", 300,
        {std::string("1: ") + kBriAll}},

    // One connection per display: every display is sent the frame (100 ms each), then each
    // connection gives one reply, unchecked, or zeros.
    {"EachDisplay", ConnectionKind::LanEach, "BRI", 100, 1,
        {{1, {at(50, kBri1)}}, {3, {at(50, "07 03 00 58 58 58 3E 00")}}}, {}, 3, {1, 2, 3}, "3C 00 3E",
        300 + 2150,
        {std::string("1: ") + kBriAll, std::string("2: ") + kBriAll, std::string("3: ") + kBriAll}},
    {"EachUnusableIsZero", ConnectionKind::LanEach, "BRI", 100, 1,
        {{1, {at(50, kBri1)}}, {3, {at(50, kBri3)}}}, {2}, 3, {1, 2, 3}, "3C 00 3E", 200,
        {std::string("1: ") + kBriAll, std::string("3: ") + kBriAll}},
    // The arrays hold two: only two displays are read.
    {"EachCappedByTheArrays", ConnectionKind::LanEach, "BRI", 2, 1,
        {{1, {at(50, kBri1)}}, {2, {at(50, kBri2)}}}, {}, 2, {1, 2}, "3C 3D", 200,
        {std::string("1: ") + kBriAll, std::string("2: ") + kBriAll}},
};

class ReadAll : public LinkFixture, public testing::TestWithParam<ReadAllCase>
{
};

TEST_P(ReadAll, CollectsReplies)
{
    const ReadAllCase& c = GetParam();
    const bool serial = c.kind == ConnectionKind::Serial;
    if (!serial) {
        std::vector<QString> addresses {QStringLiteral("127.0.0.11")};
        if (c.kind == ConnectionKind::LanEach)
            addresses
                = {QStringLiteral("127.0.0.11"), QStringLiteral("127.0.0.12"), QStringLiteral("127.0.0.13")};
        for (int display : c.unusable)
            network.peer(addresses[std::size_t(display) - 1], 23).refuses = true;
        useLan(c.kind, addresses);
    }
    for (const Answer& a : c.answers) {
        if (serial)
            line.replyToNextWrite(a.reply);
        else
            peerOf(a.display).replyToNextSend(a.reply);
        if (a.closeAfterMs)
            peerOf(a.display).closeAfterNextSend(*a.closeAfterMs);
    }
    app.LastTargetId = 5;
    CommandExchange exchange(app);
    std::vector<std::uint8_t> ids(std::size_t(c.maxCount), 0xEE);
    std::vector<std::uint8_t> values(std::size_t(c.maxCount * c.valueLength), 0xEE);
    const std::int64_t start = clock.nowMs();

    const int count = exchange.ReadAllDisplays(c.code, ids, values, c.maxCount, c.valueLength);

    ASSERT_EQ(count, c.count);
    EXPECT_THAT(std::vector<int>(ids.begin(), ids.begin() + count), ElementsAreArray(c.ids));
    EXPECT_EQ(toHex(Bytes(values.begin(), values.begin() + count * c.valueLength)), c.values);
    EXPECT_EQ(clock.nowMs() - start, c.elapsedMs);
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
    EXPECT_THAT(sent, ElementsAreArray(c.sent));
    EXPECT_EQ(app.LastTargetId, 5);
    EXPECT_EQ(app.LastErrorText.toStdString(), LinkFixture::kEarlierError);
}

INSTANTIATE_TEST_SUITE_P(Rows, ReadAll, testing::ValuesIn(kCases), rowName<ReadAllCase>);

class ReadAllLink : public LinkFixture, public testing::Test
{
protected:
    int readAll()
    {
        std::array<std::uint8_t, 4> ids {};
        std::array<std::uint8_t, 4> values {};
        return CommandExchange(app).ReadAllDisplays("BRI", ids, values, 4, 1);
    }
};

TEST_F(ReadAllLink, UnusableLinkGives255)
{
    line.setOpenFails(true);
    EXPECT_EQ(readAll(), 255);
    EXPECT_EQ(app.LastErrorText, QStringLiteral("RS232 device is not ready !!"));

    line.setOpenFails(false);
    line.failNextWrite();
    EXPECT_EQ(readAll(), 255);
    EXPECT_FALSE(app.ComPortOpen);

    network.peer(QStringLiteral("127.0.0.11"), 23).refuses = true;
    useLan(ConnectionKind::Lan, {QStringLiteral("127.0.0.11")});
    EXPECT_EQ(readAll(), 255);
    EXPECT_EQ(app.LastErrorText, QStringLiteral("127.0.0.11 connection fail!"));
}

TEST_F(ReadAllLink, NoDisplayUsableGives255WithoutText)
{
    network.peer(QStringLiteral("127.0.0.11"), 23).refuses = true;
    network.peer(QStringLiteral("127.0.0.12"), 23).refuses = true;
    useLan(ConnectionKind::LanEach, {QStringLiteral("127.0.0.11"), QStringLiteral("127.0.0.12")});
    EXPECT_EQ(readAll(), 255);
    EXPECT_EQ(app.LastErrorText.toStdString(), LinkFixture::kEarlierError);
}

} // namespace
} // namespace ordalis::test
