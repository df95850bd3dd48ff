#include "sim/chain_model.h"
#include "sim/frame_assembler.h"
#include "tests/support/hex_bytes.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace ordalis::sim {
namespace {

using ordalis::test::hex;
using ordalis::test::toHex;

// A chain with the given Monitor IDs in chain order; frames go in as bytes, answers come out as
// hex text in the order they would go on the line.
class Chain
{
public:
    explicit Chain(std::vector<int> ids)
    {
        std::vector<SimDisplay> displays;
        for (std::size_t i = 0; i < ids.size(); ++i) {
            SimDisplay d(int(i + 1));
            d.setMonitorId(ids[i]);
            displays.push_back(std::move(d));
        }
        m_chain = ChainModel(std::move(displays));
    }

    ChainModel& model() { return m_chain; }
    SimDisplay& at(int position) { return m_chain.display(position); }

    std::string send(std::string_view frameHex)
    {
        std::vector<SimFrame> frames;
        Bytes skipped;
        FrameAssembler assembler;
        assembler.feed(hex(frameHex), frames, skipped);
        Bytes out;
        for (const SimFrame& frame : frames) {
            for (const Answer& answer : m_chain.hear(frame, m_chain.allPositions())) {
                out.insert(out.end(), answer.bytes.begin(), answer.bytes.end());
            }
        }
        return toHex(out);
    }

private:
    ChainModel m_chain;
};

struct LineCase
{
    const char* what;
    std::vector<int> ids;
    std::vector<int> off;
    std::vector<int> silent;
    std::vector<std::tuple<int, const char*, const char*>> values; // position, code, hex
    const char* sent;
    const char* answered;
};

TEST(ChainAnswers, FramesOnTheLineAreAnsweredAsDisplaysDo)
{
    const LineCase cases[] = {
        {"read from one display", {1, 2, 3, 4, 5}, {}, {}, {{5, "BRI", "3C"}}, "07 05 01 42 52 49 08",
            "07 05 00 42 52 49 3C 08"},
        {"write acknowledged by its display", {1, 2, 3}, {}, {}, {}, "07 03 02 42 52 4C 32 08",
            "07 03 00 42 52 4C 32 08"},
        {"power read to all: every display in chain order, off ones too", {1, 2, 3}, {2}, {}, {},
            "07 00 01 50 4F 57 08",
            "07 01 00 50 4F 57 01 08 07 02 00 50 4F 57 00 08 07 03 00 50 4F 57 01 08"},
        {"other reads to all: powered displays only", {1, 2, 3}, {2}, {},
            {{1, "BRI", "0A"}, {3, "BRI", "1E"}}, "07 00 01 42 52 49 08",
            "07 01 00 42 52 49 0A 08 07 03 00 42 52 49 1E 08"},
        {"write to all: one acknowledgement, by the first display", {1, 2, 3}, {}, {}, {},
            "07 00 02 42 52 4C 32 08", "07 01 00 42 52 4C 32 08"},
        {"write to all with the first display off: the next one acknowledges", {1, 2, 3}, {1}, {}, {},
            "07 00 02 42 52 4C 32 08", "07 02 00 42 52 4C 32 08"},
        {"DIV 0x11 to all is not acknowledged", {1, 2, 3}, {}, {}, {}, "07 00 02 44 49 56 11 08", ""},
        {"off display ignores reads", {1, 2}, {2}, {}, {}, "07 02 01 42 52 4C 08", ""},
        {"off display ignores writes", {1, 2}, {2}, {}, {}, "07 02 02 42 52 4C 32 08", ""},
        {"off display answers power", {1, 2}, {2}, {}, {}, "07 02 01 50 4F 57 08", "07 02 00 50 4F 57 00 08"},
        {"off display takes power on", {1, 2}, {2}, {}, {}, "07 02 02 50 4F 57 01 08",
            "07 02 00 50 4F 57 01 08"},
        {"silent display answers nothing", {1, 2, 3}, {}, {2}, {}, "07 02 01 50 4F 57 08", ""},
        {"silent display is left out of a read to all", {1, 2, 3}, {}, {2}, {}, "07 00 01 50 4F 57 08",
            "07 01 00 50 4F 57 01 08 07 03 00 50 4F 57 01 08"},
        {"silent first display: the next one acknowledges a write to all", {1, 2}, {}, {1}, {},
            "07 00 02 50 4F 57 01 08", "07 02 00 50 4F 57 01 08"},
        {"duplicate Monitor IDs both answer, in chain order", {1, 1}, {}, {}, {{2, "BRI", "14"}},
            "07 01 01 42 52 49 08", "07 01 00 42 52 49 32 08 07 01 00 42 52 49 14 08"},
        {"no display with that Monitor ID", {1, 2}, {}, {}, {}, "07 09 01 42 52 49 08", ""},
        {"unknown code", {1}, {}, {}, {}, "07 01 01 58 59 5A 08", ""},
        {"read of a write-only command", {1}, {}, {}, {}, "07 01 01 52 43 55 08", ""},
        {"write of a read-only command", {1}, {}, {}, {}, "07 01 02 53 45 52 00 08", ""},
        {"lower-case code letters", {1}, {}, {}, {}, "07 01 01 70 6F 77 08", ""},
        {"wrong end byte", {1}, {}, {}, {}, "07 01 01 50 4F 57 09", ""},
        {"noise before a frame is skipped", {1}, {}, {}, {}, "FF 55 08 07 01 01 50 4F 57 08",
            "07 01 00 50 4F 57 01 08"},
        {"a reply frame from the PC is no command", {1}, {}, {}, {}, "07 01 00 50 4F 57 01 08", ""},
        {"CID read answers the Monitor ID", {4}, {}, {}, {}, "07 04 01 43 49 44 08",
            "07 04 00 43 49 44 04 08"},
        {"serial number, 13 bytes", {1, 2}, {}, {}, {}, "07 02 01 53 45 52 08",
            "07 02 00 53 45 52 57 53 49 4D 30 30 30 30 30 30 30 30 32 08"},
        {"model name, 13 bytes", {1}, {}, {}, {}, "07 01 01 4D 4E 41 08",
            "07 01 00 4D 4E 41 4B 56 2D 38 37 30 20 20 20 20 20 20 20 08"},
        {"firmware version, 6 bytes", {1}, {}, {}, {}, "07 01 01 47 56 45 08",
            "07 01 00 47 56 45 56 31 2E 30 32 33 08"},
        {"error code, 4 bytes", {1}, {}, {}, {{1, "ERR", "34120000"}}, "07 01 01 45 52 52 08",
            "07 01 00 45 52 52 34 12 00 00 08"},
        {"highest temperature, 8 bytes", {1}, {}, {}, {}, "07 01 01 4C 4D 54 08",
            "07 01 00 4C 4D 54 2D 00 00 00 59 02 00 00 08"},
        {"total time, 4 bytes", {1, 2}, {}, {}, {}, "07 02 01 4F 54 54 08",
            "07 02 00 4F 54 54 58 2F 00 00 08"},
        {"operating time, 4 bytes", {1}, {}, {}, {{1, "OTS", "3D000000"}}, "07 01 01 4F 54 53 08",
            "07 01 00 4F 54 53 3D 00 00 00 08"},
        {"chromaticity, 25 bytes", {1}, {}, {}, {}, "07 01 01 52 58 59 08",
            "07 01 00 52 58 59 03 20 19 00 0C E4 09 60 0B B8 17 70 01 40 05 DC 02 58 0D C0 0C 37 0C DA 00 "
            "08"},
        {"project number", {1}, {}, {}, {}, "07 01 01 50 4A 44 08", "07 01 00 50 4A 44 18 08"},
        {"table version", {1}, {}, {}, {}, "07 01 01 52 54 56 08", "07 01 00 52 54 56 0C 08"},
        {"backlight sensor, low and high bytes", {1}, {}, {}, {}, "07 01 01 42 53 4C 08 07 01 01 42 53 48 08",
            "07 01 00 42 53 4C 2C 08 07 01 00 42 53 48 01 08"},
        {"second fan", {1}, {}, {}, {}, "07 01 01 52 53 32 08", "07 01 00 52 53 32 29 08"},
        {"test pattern write", {1, 2}, {}, {}, {}, "07 02 02 54 50 50 FF 08", "07 02 00 54 50 50 FF 08"},
    };
    for (const LineCase& c : cases) {
        Chain chain(c.ids);
        for (int p : c.off) {
            chain.at(p).setPowered(false);
        }
        for (int p : c.silent) {
            chain.at(p).setSilent(true);
        }
        for (const auto& [p, code, value] : c.values) {
            chain.at(p).setValue(code, hex(value));
        }
        EXPECT_EQ(chain.send(c.sent), c.answered) << c.what;
    }
}

TEST(ChainWrites, AreKeptAsSentAndReadBack)
{
    Chain chain({1, 2, 3});
    EXPECT_EQ(chain.send("07 00 02 43 4F 4E C8 08"), "07 01 00 43 4F 4E C8 08");
    EXPECT_EQ(chain.send("07 02 02 42 52 4C 07 08"), "07 02 00 42 52 4C 07 08");
    EXPECT_EQ(chain.send("07 00 01 43 4F 4E 08"),
        "07 01 00 43 4F 4E C8 08 07 02 00 43 4F 4E C8 08 07 03 00 43 4F 4E C8 08");
    EXPECT_EQ(chain.at(2).value("BRL"), hex("07"));
    EXPECT_EQ(chain.at(1).value("BRL"), hex("32"));
    // Power off leaves the settings in place for the next power on.
    EXPECT_EQ(chain.send("07 02 02 50 4F 57 00 08"), "07 02 00 50 4F 57 00 08");
    EXPECT_EQ(chain.send("07 02 01 42 52 4C 08"), "");
    EXPECT_EQ(chain.send("07 00 02 50 4F 57 01 08"), "07 01 00 50 4F 57 01 08");
    EXPECT_EQ(chain.send("07 02 01 42 52 4C 08"), "07 02 00 42 52 4C 07 08");
}

TEST(ChainNumbering, CidToAllNumbersTheChainInOrder)
{
    Chain chain({1, 1, 1, 1});
    EXPECT_EQ(chain.send("07 00 02 43 49 44 01 08"), "07 01 00 43 49 44 01 08");
    for (int p = 1; p <= 4; ++p) {
        EXPECT_EQ(chain.at(p).monitorId(), p);
    }
    EXPECT_EQ(chain.send("07 03 01 50 4F 57 08"), "07 03 00 50 4F 57 01 08");

    // Another start value; a display that is off takes no number.
    chain.at(2).setPowered(false);
    EXPECT_EQ(chain.send("07 00 02 43 49 44 05 08"), "07 05 00 43 49 44 05 08");
    EXPECT_EQ(chain.at(1).monitorId(), 5);
    EXPECT_EQ(chain.at(2).monitorId(), 2);
    EXPECT_EQ(chain.at(3).monitorId(), 6);
    EXPECT_EQ(chain.at(4).monitorId(), 7);
}

TEST(ChainNumbering, CidToOneDisplayGivesItThatId)
{
    Chain chain({1, 2, 2});
    // Both displays with Monitor ID 2 take the new one and say so under it.
    EXPECT_EQ(chain.send("07 02 02 43 49 44 09 08"), "07 09 00 43 49 44 09 08 07 09 00 43 49 44 09 08");
    EXPECT_EQ(chain.at(1).monitorId(), 1);
    EXPECT_EQ(chain.at(2).monitorId(), 9);
    EXPECT_EQ(chain.at(3).monitorId(), 9);
    // Monitor IDs outside 1-100 are refused.
    for (const char* frame :
        {"07 01 02 43 49 44 00 08", "07 01 02 43 49 44 65 08", "07 00 02 43 49 44 00 08"}) {
        EXPECT_EQ(chain.send(frame), "") << frame;
    }
    EXPECT_EQ(chain.at(1).monitorId(), 1);
}

struct ArrangeCase
{
    const char* what;
    const char* frame;
    std::vector<std::uint8_t> divisions; // by Monitor ID 1 ... 6
};

TEST(ChainArrangement, DivisionsFollowThePlaceInTheMatrix)
{
    // A 3 x 2 wall numbered along the serpentine from the first display's corner.
    const ArrangeCase cases[] = {
        {"VAU 0x20: first display at the bottom left", "07 00 02 56 41 55 20 08",
            {0x12, 0x22, 0x32, 0x31, 0x21, 0x11}},
        {"VAU 0xA0: first display at the top left", "07 00 02 56 41 55 A0 08",
            {0x11, 0x21, 0x31, 0x32, 0x22, 0x12}},
        {"DIV 0x11 to all: from the top left", "07 00 02 44 49 56 11 08",
            {0x11, 0x21, 0x31, 0x32, 0x22, 0x12}},
    };
    for (const ArrangeCase& c : cases) {
        Chain chain({1, 1, 1, 1, 1, 1});
        chain.send("07 00 02 43 49 44 01 08");
        EXPECT_EQ(chain.send("07 00 02 4D 41 54 32 08"), "07 01 00 4D 41 54 32 08");
        chain.send(c.frame);
        for (int id = 1; id <= 6; ++id) {
            EXPECT_EQ(chain.at(id).value("DIV"), Bytes {c.divisions[std::size_t(id - 1)]})
                << c.what << ", ID " << id;
        }
    }
}

TEST(ChainArrangement, EdgesOfTheArrangement)
{
    Chain chain({1, 2, 7});
    chain.send("07 00 02 4D 41 54 21 08"); // 2 columns, 1 row
    chain.send("07 00 02 44 49 56 33 08");
    // Monitor ID 7 has no place in a 2 x 1 matrix: its division stays.
    EXPECT_EQ(chain.send("07 00 02 56 41 55 A0 08"), "07 01 00 56 41 55 A0 08");
    EXPECT_EQ(chain.at(1).value("DIV"), hex("11"));
    EXPECT_EQ(chain.at(2).value("DIV"), hex("21"));
    EXPECT_EQ(chain.at(3).value("DIV"), hex("33"));

    // Addressed to one display, DIV 0x11 is division 1,1 and acknowledged ...
    EXPECT_EQ(chain.send("07 02 02 44 49 56 11 08"), "07 02 00 44 49 56 11 08");
    EXPECT_EQ(chain.at(2).value("DIV"), hex("11"));
    // ... unless the displays arrange on it.
    chain.model().setArrangeOnAddressedDiv(true);
    EXPECT_EQ(chain.send("07 02 02 44 49 56 11 08"), "07 02 00 44 49 56 11 08");
    EXPECT_EQ(chain.at(2).value("DIV"), hex("21"));
}

TEST(ChainInputs, StatusFollowsTheMainInput)
{
    Chain chain({1});
    EXPECT_EQ(chain.send("07 01 01 4D 49 53 08"), "07 01 00 4D 49 53 29 08"); // HDMI1, signal present
    chain.send("07 01 02 4D 49 4E 10 08");
    EXPECT_EQ(chain.send("07 01 01 4D 49 53 08"), "07 01 00 4D 49 53 30 08");
    // The source keys of the remote control switch the input too; other keys do not.
    chain.send("07 01 02 52 43 55 0C 08");
    EXPECT_EQ(chain.at(1).value("MIN"), hex("0D"));
    EXPECT_EQ(chain.send("07 01 01 4D 49 53 08"), "07 01 00 4D 49 53 2D 08");
    chain.send("07 01 02 52 43 55 00 08");
    EXPECT_EQ(chain.at(1).value("MIN"), hex("0D"));
}

TEST(ChainReset, ResetAllRestoresSettingsOnly)
{
    Chain chain({3});
    chain.send("07 03 02 42 52 4C 05 08");
    chain.send("07 03 02 4D 49 4E 00 08");
    chain.at(1).setValue("RTT", hex("50"));
    EXPECT_EQ(chain.send("07 03 02 41 4C 4C 00 08"), "07 03 00 41 4C 4C 00 08");
    EXPECT_EQ(chain.at(1).value("BRL"), hex("32"));
    EXPECT_EQ(chain.at(1).value("MIN"), hex("09"));
    EXPECT_EQ(chain.at(1).value("MIS"), hex("29"));
    EXPECT_EQ(chain.at(1).value("RTT"), hex("50"));
    EXPECT_EQ(chain.at(1).monitorId(), 3);
    EXPECT_TRUE(chain.at(1).powered());
}

TEST(ChainLimits, OnlyTheReachedDisplaysHear)
{
    // A LAN module in front of one display: the rest of the chain does not hear its frames.
    Chain chain({1, 2, 3});
    std::vector<SimFrame> frames;
    Bytes skipped;
    FrameAssembler assembler;
    assembler.feed(hex("07 00 02 43 49 44 05 08 07 00 01 50 4F 57 08"), frames, skipped);
    const std::vector<int> reach {2};
    std::vector<std::string> answers;
    for (const SimFrame& frame : frames) {
        for (const Answer& a : chain.model().hear(frame, reach)) {
            answers.push_back(toHex(a.bytes));
        }
    }
    EXPECT_EQ(answers, (std::vector<std::string> {"07 05 00 43 49 44 05 08", "07 05 00 50 4F 57 01 08"}));
    EXPECT_EQ(chain.at(1).monitorId(), 1);
    EXPECT_EQ(chain.at(2).monitorId(), 5);
    EXPECT_EQ(chain.at(3).monitorId(), 3);
}

} // namespace
} // namespace ordalis::sim
