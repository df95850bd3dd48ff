#include "setup/ip_search_dialog.h"
#include "setup_fixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>

#include <gmock/gmock.h>

namespace ordalis::test {
namespace {

using testing::ElementsAre;
using C = IpSearchControl;

class IpSearchDialogTest : public testing::Test, public SetupFixture
{
protected:
    IpSearchDialogTest()
    {
        app.settings.LanType.setBoth(1);
        hosts.addresses = {"127.0.0.1"};
    }

    std::vector<std::string> rows(const CIpSearchDlg& dialog)
    {
        auto* list = findControl<QTableWidget>(&dialog, C::DeviceList);
        std::vector<std::string> texts;
        for (int row = 0; row < list->rowCount(); ++row) {
            texts.push_back(list->item(row, 0)->text().toStdString() + " "
                + list->item(row, 1)->text().toStdString() + " " + list->item(row, 2)->text().toStdString());
        }
        return texts;
    }

    // Opens the dialog modally, lets 'act' work in it and returns its result.
    int open(CIpSearchDlg& dialog, std::function<void(CIpSearchDlg&)> act)
    {
        ModalDriver driver;
        driver.on<CIpSearchDlg>(std::move(act));
        return dialog.exec();
    }
};

TEST_F(IpSearchDialogTest, SearchListsRepliesAndKeepsThemForTheNextOpening)
{
    datagrams.answerEverySend({{100, "127.0.0.31,0011223344AA,WIFI-MODULE"}, {200, "too short"},
        {300, "127.0.0.32,A0B1C2D3E4F5,SECOND"}});
    CIpSearchDlg first(ui);
    first.IpText = "127.0.0.9";
    std::string status;
    open(first, [&](CIpSearchDlg& dialog) {
        EXPECT_EQ(findControl<QLineEdit>(&dialog, C::AddressEdit)->text(), "127.0.0.9");
        EXPECT_EQ(findControl<QLabel>(&dialog, C::Title)->text(), "Display IP Address Edit");
        EXPECT_EQ(findControl<QLabel>(&dialog, C::Title)->font().pixelSize(), 24);
        press(dialog, C::Search);
        status = findControl<QLabel>(&dialog, C::Status)->text().toStdString();
        EXPECT_TRUE(findControl(&dialog, C::Ok)->isEnabled());
        press(dialog, C::Exit);
    });
    EXPECT_EQ(status, "Available display list: (2 devices are searched)");
    ASSERT_EQ(app.SearchList.size(), 2u);
    EXPECT_EQ(app.SearchList[1].first, "SECOND");
    EXPECT_EQ(app.SearchList[1].second, "127.0.0.32");
    ASSERT_EQ(datagrams.sent().size(), 1u);
    EXPECT_EQ(datagrams.sent()[0].address, "127.0.0.255");

    CIpSearchDlg again(ui);
    again.IpText = "127.0.0.9";
    again.MonitorId = 4;
    again.Column = 3;
    again.Row = 2;
    std::vector<std::string> shown;
    const int result = open(again, [&](CIpSearchDlg& dialog) {
        shown = rows(dialog);
        EXPECT_EQ(findControl<QLabel>(&dialog, C::Title)->text(),
            "Display IP Address Edit\nfor Monitor ID = 4, Location = (3,2)");
        EXPECT_EQ(findControl<QLabel>(&dialog, C::Title)->font().pixelSize(), 20);
        auto* list = findControl<QTableWidget>(&dialog, C::DeviceList);
        list->selectRow(1);
        emit list->cellDoubleClicked(1, 0);
        EXPECT_EQ(findControl<QLineEdit>(&dialog, C::AddressEdit)->text(), "127.0.0.32");
        press(dialog, C::Ok);
    });
    EXPECT_THAT(shown, ElementsAre("1 WIFI-MODULE 127.0.0.31", "2 SECOND 127.0.0.32"));
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(again.IpText, "127.0.0.32");
    EXPECT_EQ(datagrams.sent().size(), 1u); // no search on opening
}

TEST_F(IpSearchDialogTest, NoValidReplyKeepsTheSearchingStatus)
{
    app.SearchList = {{"OLD", "127.0.0.40"}};
    datagrams.answerEverySend({{100, "127.0.0.31,NOT-A-MAC-AT,WIFI-MODULE"}});
    CIpSearchDlg dialog(ui);
    std::string status;
    std::vector<std::string> shown;
    open(dialog, [&](CIpSearchDlg& d) {
        press(d, C::Search);
        status = findControl<QLabel>(&d, C::Status)->text().toStdString();
        shown = rows(d);
        press(d, C::Exit);
    });
    EXPECT_EQ(status, "Device searching...please wait");
    EXPECT_TRUE(shown.empty());
    EXPECT_TRUE(app.SearchList.empty());
}

TEST_F(IpSearchDialogTest, ExitReturnsNothing)
{
    CIpSearchDlg dialog(ui);
    dialog.IpText = "127.0.0.9";
    const int result = open(dialog, [&](CIpSearchDlg& d) {
        findControl<QLineEdit>(&d, C::AddressEdit)->setText("127.0.0.99");
        press(d, C::Exit);
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(dialog.IpText, "127.0.0.9");
}

} // namespace
} // namespace ordalis::test
