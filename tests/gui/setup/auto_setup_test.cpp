#include "rules/auto_setup_steps.h"
#include "setup/auto_setup_dialog.h"
#include "setup/progress_box.h"
#include "setup/run_auto_setup.h"
#include "setup_fixture.h"

#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>

#include <gmock/gmock.h>

namespace ordalis::test {
namespace {

using testing::ElementsAre;
using testing::ElementsAreArray;
using testing::IsEmpty;

const char* const kCid = "07 00 02 43 49 44 01 08";
const char* const kVwf = "07 00 02 56 57 46 01 08";
const char* const kVws = "07 00 02 56 57 53 01 08";

std::string readPow(int id)
{
    char text[32];
    std::snprintf(text, sizeof text, "07 %02X 01 50 4F 57 08", id);
    return text;
}

// The read-back of displays 1 to count.
std::vector<std::string> readPows(int count)
{
    std::vector<std::string> frames;
    for (int id = 1; id <= count; ++id)
        frames.push_back(readPow(id));
    return frames;
}

std::string powReply(int id)
{
    char text[32];
    std::snprintf(text, sizeof text, "07 %02X 00 50 4F 57 01 08", id);
    return text;
}

class AutoSetupTest : public testing::Test, public SetupFixture
{
protected:
    // The chain acknowledges each of 'writes' wall-wide writes, then the first 'answering'
    // displays answer the read-back.
    void chainAnswers(int writes, int answering)
    {
        for (int i = 0; i < writes; ++i)
            line.replyToNextWrite({{20, hex("07 01 00 41 41 41 01 08")}});
        for (int id = 1; id <= answering; ++id)
            line.replyToNextWrite({{20, hex(powReply(id).c_str())}});
    }

    // Runs the box tick by tick and gives the frames each tick sent.
    std::vector<std::vector<std::string>> ticks(int action, bool& succeeded)
    {
        app.PendingPowerAction = std::uint8_t(action);
        CProcessbox box(
            ui, AutoSetupSteps::operation(ConnectionKind(app.ConnectionKind), app.PendingPowerAction == 3));
        std::vector<std::vector<std::string>> sent;
        std::size_t seen = 0;
        box.show();
        for (int tick = 0; tick < 40 && box.isVisible(); ++tick) {
            box.OnTimer();
            const std::vector<std::string> all = toHex(line.writes());
            sent.emplace_back(all.begin() + std::ptrdiff_t(seen), all.end());
            seen = all.size();
        }
        succeeded = box.result() == QDialog::Accepted;
        EXPECT_EQ(ui.processbox.step, 0);
        return sent;
    }

    using Ticks = std::vector<std::vector<std::string>>;
};

TEST_F(AutoSetupTest, BottomLeftWallOfModel0TickByTick)
{
    chainAnswers(5, 6);
    bool succeeded = false;
    const Ticks sent = ticks(2, succeeded);

    EXPECT_THAT(sent,
        ElementsAre(ElementsAre(kCid), IsEmpty(), ElementsAre("07 00 02 4D 41 54 32 08"),
            ElementsAre("07 00 02 56 41 55 20 08"), IsEmpty(), IsEmpty(), ElementsAre(kVwf), IsEmpty(),
            ElementsAre(kVws), IsEmpty(), ElementsAreArray(readPows(6)), IsEmpty()));
    EXPECT_TRUE(succeeded);
    // Over the serial port nothing waits before the numbering.
    EXPECT_THAT(clock.sleeps(), testing::Not(testing::Contains(5000)));
}

// DIV 0x11 is not acknowledged on a chain, and the write still succeeds. Displays of the
// extended family are checked with VWS.
TEST_F(AutoSetupTest, TopLeftWallOfModel2ArrangesWithDiv)
{
    app.FirstDisplayAtBottom = 0;
    app.settings.DisplayModel.setBoth(2);
    app.settings.ProjectId.setBoth(24);
    line.replyToNextWrite({{20, hex("07 01 00 43 49 44 01 08")}});
    line.replyToNextWrite({{20, hex("07 01 00 4D 41 54 32 08")}});
    line.replyToNextWrite({}); // DIV: silence
    line.replyToNextWrite({{20, hex("07 01 00 56 57 46 01 08")}});
    line.replyToNextWrite({{20, hex("07 01 00 56 57 53 01 08")}});
    for (int id = 1; id <= 6; ++id) {
        char reply[32];
        std::snprintf(reply, sizeof reply, "07 %02X 00 56 57 53 01 08", id);
        line.replyToNextWrite({{20, hex(reply)}});
    }
    bool succeeded = false;
    const Ticks sent = ticks(2, succeeded);
    ASSERT_EQ(sent.size(), 12u);
    EXPECT_THAT(sent[3], ElementsAre("07 00 02 44 49 56 11 08"));
    EXPECT_THAT(sent[10].front(), "07 01 01 56 57 53 08");
    EXPECT_TRUE(succeeded);
}

TEST_F(AutoSetupTest, TopLeftWallOfModel1ArrangesWithVauA0)
{
    app.FirstDisplayAtBottom = 0;
    app.settings.DisplayModel.setBoth(1);
    chainAnswers(5, 6);
    bool succeeded = false;
    const Ticks sent = ticks(2, succeeded);
    ASSERT_EQ(sent.size(), 12u);
    EXPECT_THAT(sent[3], ElementsAre("07 00 02 56 41 55 A0 08"));
}

TEST_F(AutoSetupTest, SortOnlyNumbersAndReadsBack)
{
    chainAnswers(1, 6);
    bool succeeded = false;
    const Ticks sent = ticks(3, succeeded);
    // Steps 0, 1, 2, 9, 10, 11.
    EXPECT_THAT(sent,
        ElementsAre(
            ElementsAre(kCid), IsEmpty(), IsEmpty(), IsEmpty(), ElementsAreArray(readPows(6)), IsEmpty()));
    EXPECT_TRUE(succeeded);
}

TEST_F(AutoSetupTest, FifthDisplaySilentEndsTheCheck)
{
    app.ShowErrorBoxes = true;
    chainAnswers(5, 4);
    bool succeeded = true;
    const Ticks sent = ticks(2, succeeded);
    ASSERT_EQ(sent.size(), 11u);
    EXPECT_THAT(sent[10], ElementsAre(readPow(1), readPow(2), readPow(3), readPow(4), readPow(5)));
    EXPECT_FALSE(succeeded);
    EXPECT_EQ(app.LastErrorText, "RS232 Not Ack !!");
    // The exchange's own box, since the box leaves ShowErrorBoxes set.
    EXPECT_THAT(boxTexts(prompts.messages()),
        ElementsAre("RS232 Not Ack !!|" + std::to_string(int(PromptIcon::Stop))));
}

TEST_F(AutoSetupTest, OverOneLanConnectionTheFirstTickWaitsFiveSeconds)
{
    app.WallColumns = 2;
    app.WallRows = 1;
    useLan(ConnectionKind::Lan, {"127.0.0.10"}, 2, 1);
    clock.clearSleeps();
    app.PendingPowerAction = 2;
    CProcessbox box(
        ui, AutoSetupSteps::operation(ConnectionKind(app.ConnectionKind), app.PendingPowerAction == 3));
    box.OnTimer();
    ASSERT_FALSE(clock.sleeps().empty());
    EXPECT_EQ(clock.sleeps().front(), 5000);
    EXPECT_THAT(toHex(peerOf(1).received()), ElementsAre(kCid));
}

// One display per tick: display s + 1 is numbered through its own connection, with Monitor ID 0
// and the value s + 1, and then addressed by that number.
TEST_F(AutoSetupTest, OneDisplayPerTickOverEachConnection)
{
    useLan(ConnectionKind::LanEach, {"127.0.0.10", "127.0.0.11"}, 2, 1);
    for (int id = 1; id <= 2; ++id) {
        for (const char* code : {"43 49 44", "4D 41 54", "44 49 56", "56 57 46", "56 57 53"}) {
            char ack[40];
            std::snprintf(ack, sizeof ack, "07 %02X 00 %s 01 08", id, code);
            peerOf(id).replyToNextSend({{30, hex(ack)}});
        }
    }
    app.PendingPowerAction = 2;
    CProcessbox box(
        ui, AutoSetupSteps::operation(ConnectionKind(app.ConnectionKind), app.PendingPowerAction == 3));
    box.show();
    box.OnTimer();
    EXPECT_EQ(clock.sleeps().front(), 5000);
    EXPECT_TRUE(box.isVisible());
    box.OnTimer();
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Accepted);
    EXPECT_THAT(toHex(peerOf(1).received()),
        ElementsAre("07 00 02 43 49 44 01 08", "07 01 02 4D 41 54 21 08", "07 01 02 44 49 56 11 08",
            "07 01 02 56 57 46 01 08", "07 01 02 56 57 53 01 08"));
    EXPECT_THAT(toHex(peerOf(2).received()),
        ElementsAre("07 00 02 43 49 44 02 08", "07 02 02 4D 41 54 21 08", "07 02 02 44 49 56 11 08",
            "07 02 02 56 57 46 01 08", "07 02 02 56 57 53 01 08"));
    // One step for the numbering and one for each further write: the bar is at 10 of 11.
    EXPECT_EQ(findControl<QProgressBar>(&box, ProcessboxControl::ProgressBar)->value(), 10);
}

TEST_F(AutoSetupTest, OneDisplayPerTickStopsAtTheFirstMissingAcknowledgement)
{
    useLan(ConnectionKind::LanEach, {"127.0.0.10", "127.0.0.11"}, 2, 1);
    peerOf(1).replyToNextSend({}); // CID unanswered
    app.PendingPowerAction = 2;
    CProcessbox box(
        ui, AutoSetupSteps::operation(ConnectionKind(app.ConnectionKind), app.PendingPowerAction == 3));
    box.show();
    box.OnTimer();
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Rejected);
    EXPECT_THAT(toHex(peerOf(1).received()), ElementsAre("07 00 02 43 49 44 01 08"));
    EXPECT_EQ(app.LastErrorText, "127.0.0.10 Not Ack !");
    EXPECT_EQ(app.DisplayList[0].status, 255);
}

// The whole sequence behind "Auto Setup": choice, checks, box, outcome.
class RunAutoSetupTest : public AutoSetupTest
{
protected:
    void chooseAndRun(bool onlySort, bool next = true)
    {
        driver.on<CAutoSetup1Dlg>([=, this](CAutoSetup1Dlg& dialog) {
            if (onlySort)
                press(dialog, AutoSetupControl::OnlySort);
            press(dialog, next ? AutoSetupControl::Next : AutoSetupControl::Cancel);
        });
        driver.on<CProcessbox>([this](CProcessbox& box) {
            titles.push_back(findControl<QLabel>(&box, ProcessboxControl::Title)->text().toStdString());
            timers.advanceUntil([&] { return !box.isVisible(); }, 60000);
        });
        RunAutoSetup(ui, nullptr);
    }

    std::vector<std::string> boxes() { return boxTexts(prompts.messages()); }
    static std::string info(const char* text)
    {
        return std::string(text) + "|" + std::to_string(int(PromptIcon::Information));
    }
    static std::string stop(const std::string& text)
    {
        return text + "|" + std::to_string(int(PromptIcon::Stop));
    }

    ModalDriver driver;
    std::vector<std::string> titles;
};

TEST_F(RunAutoSetupTest, FullAutoSetupFinishes)
{
    chainAnswers(5, 6);
    chooseAndRun(false);
    EXPECT_THAT(titles, ElementsAre("Video Wall Auto Setup"));
    EXPECT_THAT(boxes(), ElementsAre(info("Auto Setup Finished!")));
    EXPECT_EQ(app.PendingPowerAction, 2);
}

TEST_F(RunAutoSetupTest, SortOnlyFailure)
{
    app.ShowErrorBoxes = false;
    chainAnswers(1, 2);
    chooseAndRun(true);
    EXPECT_THAT(titles, ElementsAre("Monitor ID Auto Sort"));
    EXPECT_THAT(boxes(),
        ElementsAre(stop("Monitor ID Auto Sort Failure! Please make sure the RS232 daisy chain is "
                         "connected correctly and all displays are in power on status.")));
}

TEST_F(RunAutoSetupTest, InvalidAddressOpensNoBox)
{
    useLan(ConnectionKind::Lan, {"127.0.0.300"}, 2, 1);
    app.settings.IpAddress.setBoth("127.0.0.300");
    chooseAndRun(false);
    EXPECT_THAT(titles, IsEmpty());
    EXPECT_THAT(boxes(), ElementsAre(stop("IP Address (127.0.0.300) is not valid.")));
    EXPECT_THAT(peerOf(1).received(), IsEmpty());
}

TEST_F(RunAutoSetupTest, InvalidDisplayAddressIsTheFirstInMonitorIdOrder)
{
    useLan(ConnectionKind::LanEach, {"127.0.0.10", "127.0.0.1.5", "bad"}, 3, 1);
    chooseAndRun(false);
    EXPECT_THAT(boxes(), ElementsAre(stop("IP Address (127.0.0.1.5) is not valid.")));
}

TEST_F(RunAutoSetupTest, CancelSendsNothing)
{
    chooseAndRun(false, false);
    EXPECT_THAT(titles, IsEmpty());
    EXPECT_THAT(line.writes(), IsEmpty());
    EXPECT_THAT(prompts.messages(), IsEmpty());
}

TEST(AutoSetupChoice, RadiosAndWarnings)
{
    CAutoSetup1Dlg dialog;
    auto* onlySort = findControl<QRadioButton>(&dialog, AutoSetupControl::OnlySort);
    auto* everything = findControl<QRadioButton>(&dialog, AutoSetupControl::Everything);
    auto* warning = findControl<QLabel>(&dialog, AutoSetupControl::Warning);
    EXPECT_FALSE(onlySort->isChecked());
    EXPECT_TRUE(everything->isChecked());
    EXPECT_EQ(warning->text(),
        "Warning: The Monitor ID, Video Wall, Matrix X/Y and Division X/Y of all displays will be "
        "overwritten.\n\n"
        "Press \"Next\" to continue.");
    EXPECT_EQ(warning->palette().color(QPalette::WindowText), QColor(255, 0, 0));

    onlySort->click();
    EXPECT_TRUE(dialog.OnlySortIds);
    EXPECT_FALSE(everything->isChecked());
    EXPECT_EQ(warning->text(),
        "Warning: The Monitor ID of all displays will be overwritten.\n\nPress \"Next\" to continue.");

    everything->click();
    EXPECT_FALSE(dialog.OnlySortIds);
    EXPECT_FALSE(onlySort->isChecked());
    // Clicking the checked one again leaves it checked.
    everything->click();
    EXPECT_FALSE(dialog.OnlySortIds);
    EXPECT_TRUE(everything->isChecked());
    EXPECT_FALSE(onlySort->isChecked());
}

} // namespace
} // namespace ordalis::test
