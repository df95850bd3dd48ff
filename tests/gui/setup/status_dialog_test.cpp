#include "pages/status_dialog.h"
#include "setup_fixture.h"

#include <QLabel>
#include <QTableWidget>

#include <gmock/gmock.h>

namespace ordalis::test {
namespace {

using testing::ElementsAre;

class StatusDialogTest : public testing::Test, public SetupFixture
{
protected:
    std::vector<std::string> row(const LogMessageDlg& dialog, int index)
    {
        auto* list = findControl<QTableWidget>(&dialog, StatusControl::List);
        std::vector<std::string> cells;
        for (int column = 0; column < list->columnCount(); ++column) {
            const QTableWidgetItem* item = list->item(index, column);
            cells.push_back(item ? item->text().toStdString() : "");
        }
        return cells;
    }
};

// Three displays, the second off; model row 2, so ten readings and no backlight column.
TEST_F(StatusDialogTest, CycleWithOneDisplayOff)
{
    app.settings.DisplayModel.setBoth(2);
    LogMessageDlg dialog(ui);
    auto* status = findControl<QLabel>(&dialog, StatusControl::Status);
    auto* list = findControl<QTableWidget>(&dialog, StatusControl::List);
    EXPECT_EQ(status->text(), "Initialization ...");
    EXPECT_EQ(list->columnCount(), 13);

    answerReadAll("POW", {{1, "01"}, {2, "00"}, {3, "01"}});
    answerReadAll("SER",
        {{1, "41 00 00 00 00 00 00 00 00 00 00 00 00"}, {3, "43 00 00 00 00 00 00 00 00 00 00 00 00"}});
    answerReadAll("MNA",
        {{1, "4B 56 2D 36 35 30 00 00 00 00 00 00 00"}, {3, "4B 56 2D 36 35 30 00 00 00 00 00 00 00"}});
    timers.advanceBy(999);
    EXPECT_TRUE(line.writes().empty());
    timers.advanceBy(1);
    ASSERT_EQ(line.writes().size(), 3u);
    EXPECT_EQ(status->text(), "Available display list: (3 devices are found)");
    ASSERT_EQ(list->rowCount(), 3);

    // The cycle: power, then nine readings 50 ms apart, each answered by the two that are on.
    const std::int64_t detected = clock.nowMs();
    answerReadAll("POW", {{1, "01"}, {2, "00"}, {3, "01"}});
    answerReadAll("DIV", {{1, "11"}, {3, "31"}});
    answerReadAll("MIN", {{1, "0D"}, {3, "0E"}});
    answerReadAll("RTT", {{1, "FB"}, {3, "1E"}});
    for (const char* code : {"RSF", "RS2"})
        answerReadAll(code, {{1, "28"}, {3, "00"}});
    answerReadAll("ERR", {{1, "34 12 00 00"}, {3, "00 00 00 00"}});
    answerReadAll("LMT", {{1, "2D 00 00 00 3D 00 00 00"}, {3, "2D 00 00 00 3C 00 00 00"}});
    for (const char* code : {"OTT", "OTS"})
        answerReadAll(code, {{1, "3C 00 00 00"}, {3, "3D 00 00 00"}});
    timers.advanceUntil([&] { return line.writes().size() == 13; }, 20000);
    const std::int64_t lastReading = clock.nowMs();
    EXPECT_GE(lastReading - detected, 1000 + 9 * 50);

    const std::string c = "\u2103";
    EXPECT_THAT(row(dialog, 0),
        ElementsAre("1", "A", "KV-650", "On", "(1,1)", "DP", "-5" + c, "1200rpm", "1200rpm", "0x1234",
            "45" + c + "(1H1M)", "1H0M", "1H0M"));
    EXPECT_THAT(row(dialog, 1),
        ElementsAre("2", "", "", "Off", "--", "--", "--", "--", "--", "--", "--", "--", "--"));
    EXPECT_THAT(row(dialog, 2),
        ElementsAre("3", "C", "KV-650", "On", "(3,1)", "OPS", "30" + c, "0rpm", "0rpm", "0x0000",
            "45" + c + "(1H0M)", "1H1M", "1H1M"));

    // Then it rests for 10 s before the next power reading.
    timers.advanceBy(9999);
    EXPECT_EQ(line.writes().size(), 13u);
    answerReadAll("POW", {{1, "00"}, {2, "00"}, {3, "00"}});
    timers.advanceBy(1);
    EXPECT_EQ(line.writes().size(), 14u);
    EXPECT_THAT(row(dialog, 0)[3], "Off");

    // With every display off the power reading repeats every 5 s.
    const std::int64_t allOff = clock.nowMs();
    answerReadAll("POW", {{1, "00"}, {2, "00"}, {3, "00"}});
    timers.advanceUntil([&] { return line.writes().size() == 15; }, 20000);
    EXPECT_EQ(toHex(line.writes().back().bytes), "07 00 01 50 4F 57 08");
    EXPECT_GE(clock.nowMs() - allOff, 5000);
    EXPECT_LT(clock.nowMs() - allOff, 7000);

    // "Exit" closes the port.
    EXPECT_TRUE(app.ComPortOpen);
    press(dialog, StatusControl::Exit);
    EXPECT_FALSE(app.ComPortOpen);
    EXPECT_EQ(timers.activeTimers(), 0);
}

TEST_F(StatusDialogTest, NothingFoundStopsUntilDetectMonitor)
{
    LogMessageDlg dialog(ui);
    EXPECT_EQ(findControl<QTableWidget>(&dialog, StatusControl::List)->columnCount(), 14);
    timers.advanceBy(1000);
    EXPECT_EQ(findControl<QLabel>(&dialog, StatusControl::Status)->text(),
        "Available display list: (0 devices are found)");
    timers.advanceBy(60000);
    EXPECT_EQ(line.writes().size(), 1u);

    answerReadAll("POW", {{1, "01"}});
    answerReadAll("SER", {{1, "41 00 00 00 00 00 00 00 00 00 00 00 00"}});
    answerReadAll("MNA", {{1, "42 00 00 00 00 00 00 00 00 00 00 00 00"}});
    press(dialog, StatusControl::DetectMonitor);
    EXPECT_EQ(findControl<QTableWidget>(&dialog, StatusControl::List)->rowCount(), 1);
    EXPECT_EQ(timers.activeTimers(), 1);
}

} // namespace
} // namespace ordalis::test
