#include "pages/home_page.h"
#include "pages/status_dialog.h"
#include "setup/auto_setup_dialog.h"
#include "setup/layout_wizard.h"
#include "setup_fixture.h"

#include <QLabel>

#include <gmock/gmock.h>

namespace ordalis::test {
namespace {

class HomeButtonsTest : public testing::Test, public SetupFixture
{
protected:
    HomeButtonsTest()
    {
        // One LAN connection, with a record the rebuild would replace.
        app.ConnectionKind = 1;
        IPixy record;
        record.address = "127.0.0.99";
        record.status = 0;
        app.DisplayList.push_back(std::move(record));
    }

    QString summary(const CPAGE1& home) { return findControl<QLabel>(&home, HomeControl::Summary)->text(); }

    ModalDriver driver;
    bool pausedWhileOpen = false;
};

TEST_F(HomeButtonsTest, CancelRefreshesButKeepsTheDisplayList)
{
    CPAGE1 home(ui);
    driver.on<CLayoutSetupDLg>([&](CLayoutSetupDLg& wizard) {
        pausedWhileOpen = app.WatchdogPaused;
        choose(wizard, WizardControl::Columns, 4);
        press(wizard, WizardControl::Cancel);
    });
    press(home, HomeControl::LayoutSetup);
    EXPECT_TRUE(pausedWhileOpen);
    EXPECT_FALSE(app.WatchdogPaused);
    ASSERT_EQ(app.DisplayList.size(), 1u);
    EXPECT_EQ(app.DisplayList[0].address, "127.0.0.99");
    EXPECT_TRUE(summary(home).startsWith("6 (KV-870) displays arranged as 3 columns by 2 rows."));
}

TEST_F(HomeButtonsTest, OkRebuildsTheDisplayListForTheNewWall)
{
    CPAGE1 home(ui);
    driver.on<CLayoutSetupDLg>([&](CLayoutSetupDLg& wizard) {
        choose(wizard, WizardControl::Columns, 1);
        press(wizard, WizardControl::Ok);
    });
    press(home, HomeControl::LayoutSetup);
    ASSERT_EQ(app.DisplayList.size(), 1u);
    EXPECT_EQ(app.DisplayList[0].address, "127.0.0.10"); // the "IP Address" setting
    EXPECT_EQ(app.DisplayList[0].status, 255);
    EXPECT_TRUE(summary(home).startsWith("4 (KV-870) displays arranged as 2 columns by 2 rows."));
    EXPECT_EQ(driver.handled(), 1);
}

TEST_F(HomeButtonsTest, AutoSetupFollowsTheWizard)
{
    CPAGE1 home(ui);
    bool watchdogResumed = false;
    driver.on<CLayoutSetupDLg>([&](CLayoutSetupDLg& wizard) { press(wizard, WizardControl::AutoSetup); });
    driver.on<CAutoSetup1Dlg>([&](CAutoSetup1Dlg& choice) {
        watchdogResumed = !app.WatchdogPaused;
        press(choice, AutoSetupControl::Cancel);
    });
    press(home, HomeControl::LayoutSetup);
    EXPECT_EQ(driver.handled(), 2);
    EXPECT_TRUE(watchdogResumed);
    EXPECT_TRUE(peerOf(1).received().empty());
}

TEST_F(HomeButtonsTest, DisplayStatusOpensTheTable)
{
    CPAGE1 home(ui);
    QString status;
    driver.on<LogMessageDlg>([&](LogMessageDlg& dialog) {
        status = findControl<QLabel>(&dialog, StatusControl::Status)->text();
        press(dialog, StatusControl::Exit);
    });
    press(home, HomeControl::DisplayStatus);
    EXPECT_EQ(status, "Initialization ...");
    EXPECT_EQ(driver.handled(), 1);
}

} // namespace
} // namespace ordalis::test
