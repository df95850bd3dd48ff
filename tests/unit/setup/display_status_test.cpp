#include "rules/display_status_reader.h"
#include "tests/unit/link/link_fixture.h"

#include <gmock/gmock.h>

namespace ordalis::test {
namespace {

using testing::ElementsAre;
using testing::ElementsAreArray;
using Reader = DisplayStatusReader;

std::span<const std::uint8_t> view(const Bytes& bytes)
{
    return bytes;
}

TEST(DisplayStatusCells, TextsFromReplyBytes)
{
    const QString degrees(QChar(0x2103));
    struct Case
    {
        QString text;
        const char* expected;
    };
    const Case cases[] = {
        {Reader::textCell(view(hex("53 4E 30 30 31 20 58 59 00 00 00 00 00"))), "SN001"},
        {Reader::textCell(view(hex("41 42 43 44 45 46 47 48 49 4A 4B 4C 4D"))), "ABCDEFGHIJKLM"},
        {Reader::textCell(view(hex("00 41 42 43 44 45 46 47 48 49 4A 4B 4C"))), ""},
        {Reader::powerCell(1), "On"},
        {Reader::powerCell(0), "Off"},
        {Reader::powerCell(2), "On"},
        {Reader::divisionCell(0x32), "(3,2)"},
        {Reader::inputCell(9, 0), "HDMI1"},
        {Reader::inputCell(13, 0), "DP1"},
        {Reader::inputCell(13, 2), "DP"},
        {Reader::inputCell(5, 2), "TBD"},
        {Reader::fanCell(40), "1200rpm"},
        {Reader::fanCell(0), "0rpm"},
        {Reader::errorCell(view(hex("34 12 00 00"))), "0x1234"},
        {Reader::errorCell(view(hex("0A 00 FF FF"))), "0x000a"},
        {Reader::hoursCell(view(hex("3C 00 00 00"))), "1H0M"},
        {Reader::hoursCell(view(hex("3D 00 00 00"))), "1H1M"},
        {Reader::hoursCell(view(hex("A0 8C 00 00"))), "600H0M"},
        {Reader::hoursCell(view(hex("C3 FF FF FF"))), "-1H-1M"},
        {Reader::textCell(view(hex("4B 56 2D 38 37 30 0D 0A 00 00 00 00 00"))), "KV-870"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.text.toStdString(), c.expected);

    // Temperatures are signed bytes.
    EXPECT_EQ(Reader::temperatureCell(0x19), "25" + degrees);
    EXPECT_EQ(Reader::temperatureCell(0xFB), "-5" + degrees);
    EXPECT_EQ(Reader::temperatureCell(0x80), "-128" + degrees);
    EXPECT_EQ(Reader::temperatureCell(0x7F), "127" + degrees);
    EXPECT_EQ(Reader::maxTemperatureCell(view(hex("46 01 02 03 3D 00 00 00"))), "70" + degrees + "(1H1M)");
    EXPECT_EQ(Reader::maxTemperatureCell(view(hex("F6 00 00 00 00 00 00 00"))), "-10" + degrees + "(0H0M)");
}

TEST(DisplayStatusCells, HeadingsByModel)
{
    EXPECT_THAT(Reader::headings(0),
        ElementsAre("ID", "SN", "Model Name", "Power", "Div.XY", "Input", "Temp.", "Fan 1", "Fan 2",
            "Err. Code", "Max. Temp.", "Total Time", "Oper. Time", "BL Sensor"));
    EXPECT_EQ(Reader::headings(1).size(), 13);
    EXPECT_EQ(Reader::headings(1).last(), "Oper. Time");
}

class StatusReaderTest : public testing::Test, public LinkFixture
{
protected:
    std::vector<std::string> row(const Reader& reader, int index)
    {
        std::vector<std::string> cells;
        for (const QString& cell : reader.rows()[std::size_t(index)])
            cells.push_back(cell.toStdString());
        cells.resize(std::size_t(reader.columnCount()));
        return cells;
    }

    std::vector<std::string> sentSince(std::size_t first)
    {
        std::vector<std::string> texts = toHex(line.writes());
        return {texts.begin() + std::ptrdiff_t(first), texts.end()};
    }
};

// Three displays, the second off: it gets a row with "Off" and "--", and every later reading
// goes to the first and third rows only.
TEST_F(StatusReaderTest, CycleWithOneDisplayOff)
{
    Reader reader(app);
    std::vector<std::string> statuses;
    reader.statusChanged = [&](const QString& text) { statuses.push_back(text.toStdString()); };

    answerReadAll("POW", {{1, "01"}, {2, "00"}, {3, "01"}});
    answerReadAll("SER",
        {{1, "53 4E 30 30 31 00 00 00 00 00 00 00 00"}, {3, "53 4E 30 30 33 00 00 00 00 00 00 00 00"}});
    answerReadAll("MNA",
        {{1, "4B 56 2D 38 37 30 00 00 00 00 00 00 00"}, {3, "4B 56 2D 38 37 30 00 00 00 00 00 00 00"}});
    ASSERT_TRUE(reader.detect());
    EXPECT_THAT(statuses,
        ElementsAre("Device searching...please wait", "Available display list: (3 devices are found)"));
    EXPECT_THAT(
        sentSince(0), ElementsAre("07 00 01 50 4F 57 08", "07 00 01 53 45 52 08", "07 00 01 4D 4E 41 08"));
    EXPECT_EQ(reader.foundCount(), 3);
    EXPECT_THAT(reader.poweredRows(), ElementsAre(0, 2));
    EXPECT_EQ(reader.step(), 1);

    const std::size_t before = line.writes().size();
    // One reading a step, the next 50 ms later; the backlight takes two reads in its one step.
    const std::pair<const char*, std::vector<std::pair<int, const char*>>> readings[] = {
        {"POW", {{1, "01"}, {2, "00"}, {3, "01"}}},
        {"DIV", {{1, "11"}, {3, "31"}}},
        {"MIN", {{1, "09"}, {3, "0D"}}},
        {"RTT", {{1, "FB"}, {3, "28"}}},
        {"RSF", {{1, "28"}, {3, "29"}}},
        {"RS2", {{1, "00"}, {3, "01"}}},
        {"ERR", {{1, "34 12 00 00"}, {3, "00 00 00 00"}}},
        {"LMT", {{1, "46 00 00 00 3D 00 00 00"}, {3, "30 00 00 00 3C 00 00 00"}}},
        {"OTT", {{1, "3C 00 00 00"}, {3, "3D 00 00 00"}}},
        {"OTS", {{1, "78 00 00 00"}, {3, "00 00 00 00"}}},
    };
    for (const auto& [code, answers] : readings) {
        answerReadAll(code, answers);
        EXPECT_EQ(reader.readStep(), 50) << code;
    }
    answerReadAll("BSL", {{1, "10"}, {3, "FF"}});
    answerReadAll("BSH", {{1, "01"}, {3, "00"}});
    clock.clearSleeps();
    EXPECT_EQ(reader.readStep(), 10000); // the cycle rests
    EXPECT_EQ(reader.step(), 1);
    EXPECT_THAT(clock.sleeps(), testing::Contains(50));

    EXPECT_THAT(sentSince(before),
        ElementsAre("07 00 01 50 4F 57 08", "07 00 01 44 49 56 08", "07 00 01 4D 49 4E 08",
            "07 00 01 52 54 54 08", "07 00 01 52 53 46 08", "07 00 01 52 53 32 08", "07 00 01 45 52 52 08",
            "07 00 01 4C 4D 54 08", "07 00 01 4F 54 54 08", "07 00 01 4F 54 53 08", "07 00 01 42 53 4C 08",
            "07 00 01 42 53 48 08"));

    const std::string c = "\u2103";
    EXPECT_THAT(row(reader, 0),
        ElementsAre("1", "SN001", "KV-870", "On", "(1,1)", "HDMI1", "-5" + c, "1200rpm", "0rpm", "0x1234",
            "70" + c + "(1H1M)", "1H0M", "2H0M", "272"));
    EXPECT_THAT(row(reader, 1),
        ElementsAre("2", "", "", "Off", "--", "--", "--", "--", "--", "--", "--", "--", "--", ""));
    EXPECT_THAT(row(reader, 2),
        ElementsAre("3", "SN003", "KV-870", "On", "(3,1)", "DP1", "40" + c, "1230rpm", "30rpm", "0x0000",
            "48" + c + "(1H0M)", "1H1M", "0H0M", "255"));
}

TEST_F(StatusReaderTest, PowerReadingDecidesTheNextPeriod)
{
    app.settings.DisplayModel.setBoth(2); // ten readings, no backlight sensor
    Reader reader(app);
    answerReadAll("POW", {{1, "00"}, {2, "00"}});
    ASSERT_TRUE(reader.detect());
    EXPECT_EQ(line.writes().size(), 1u); // nobody on: no SER or MNA
    EXPECT_EQ(reader.columnCount(), 13);

    // Every display off: the power reading repeats after 5 s.
    answerReadAll("POW", {{1, "00"}, {2, "00"}});
    EXPECT_EQ(reader.readStep(), 5000);
    EXPECT_EQ(reader.step(), 1);

    // The link cannot be used: after 10 s.
    line.setOpenFails(true);
    app.ComPortOpen = false;
    app.ComPortHandle.reset();
    EXPECT_EQ(reader.readStep(), 10000);
    EXPECT_EQ(reader.step(), 1);

    line.setOpenFails(false);
    answerReadAll("POW", {{1, "01"}, {2, "00"}});
    EXPECT_EQ(reader.readStep(), 50);
    for (int step = 2; step < 10; ++step) {
        answerReadAll("DIV", {{1, "11"}});
        EXPECT_EQ(reader.readStep(), 50) << step;
    }
    answerReadAll("OTS", {{1, "00 00 00 00"}});
    EXPECT_EQ(reader.readStep(), 10000);
    EXPECT_EQ(reader.step(), 1);
}

TEST_F(StatusReaderTest, NothingAnswersTheDetection)
{
    Reader reader(app);
    EXPECT_FALSE(reader.detect());
    EXPECT_EQ(reader.statusText(), "Available display list: (0 devices are found)");
    EXPECT_TRUE(reader.rows().empty());
    EXPECT_EQ(reader.foundCount(), 0);
    EXPECT_EQ(line.writes().size(), 1u);
}

} // namespace
} // namespace ordalis::test
