#include "app/wall_geometry.h"
#include "setup/ip_search_dialog.h"
#include "setup/layout_wizard.h"
#include "setup_fixture.h"
#include "tests/support/case_name.h"
#include "widgets/wall_picture.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableWidget>

#include <gmock/gmock.h>

namespace ordalis::test {
namespace {

using testing::ElementsAre;
using W = WizardControl;

class LayoutWizardTest : public testing::Test, public SetupFixture
{
protected:
    LayoutWizardTest()
    {
        app.settings.ComPort.setBoth(1);
        app.settings.IpAddress.setBoth(QStringLiteral("127.0.0.10"));
    }

    bool shown(const QWidget& wizard, W id) { return !findControl(&wizard, id)->isHidden(); }
    QString text(const QWidget& wizard, W id)
    {
        if (auto* label = findControl<QLabel>(&wizard, id))
            return label->text();
        return findControl<QLineEdit>(&wizard, id)->text();
    }
};

TEST_F(LayoutWizardTest, CancelRestoresTheWallButKeepsTheChosenPort)
{
    CLayoutSetupDLg wizard(ui);
    choose(wizard, W::Columns, 4);
    choose(wizard, W::DisplayModel, 3);
    choose(wizard, W::Connection, 1);
    EXPECT_EQ(app.WallColumns, 5);
    choose(wizard, W::Connection, 0);
    choose(wizard, W::SerialPorts, 4);
    EXPECT_TRUE(app.ComPortOpen);
    EXPECT_EQ(line.lastOpenPath(), "/dev/ttyS3");

    press(wizard, W::Cancel);
    EXPECT_EQ(wizard.outcome(), CLayoutSetupDLg::Outcome::Cancel);
    EXPECT_EQ(app.WallColumns, 3);
    EXPECT_EQ(app.settings.DisplayModel.current, 0);
    EXPECT_EQ(app.ConnectionKind, 0);
    EXPECT_EQ(app.settings.ComPort.current, 4);
    EXPECT_TRUE(app.ComPortOpen);
    EXPECT_TRUE(prompts.messages().empty());
}

TEST_F(LayoutWizardTest, BlankPortFailsToOpen)
{
    CLayoutSetupDLg wizard(ui);
    auto* ports = findControl<QComboBox>(&wizard, W::SerialPorts);
    ASSERT_EQ(ports->count(), 128);
    EXPECT_EQ(ports->itemText(0), " ");
    EXPECT_TRUE(ports->itemText(127).startsWith("COM127"));
    EXPECT_EQ(ports->currentIndex(), 1);

    choose(wizard, W::SerialPorts, 0);
    EXPECT_FALSE(app.ComPortOpen);
    EXPECT_EQ(app.settings.ComPort.current, 0);
    EXPECT_THAT(boxTexts(prompts.messages()),
        ElementsAre("RS232 device is not ready !!|" + std::to_string(int(PromptIcon::Stop))));
}

struct KindCase
{
    const char* name;
    std::uint8_t kind;
    std::uint8_t model;
    int connectionEntry; // -1: none selected
    std::vector<W> shown;
    std::vector<W> hidden;
    const char* portLabel;
    const char* heading;
};

void PrintTo(const KindCase& c, std::ostream* os)
{
    *os << c.name;
}

const char* const kLocation = "3. The location of the 1st Display connected to the PC:";

const KindCase kKindCases[] = {
    {"Serial", 0, 0, 0,
        {W::TopLeft, W::BottomLeft, W::SerialPorts, W::SerialDiagram, W::Separator, W::PortHeading},
        {W::AddressList, W::SearchRow, W::AddressEdit, W::PortEdit, W::SearchFirst, W::ConnectionType,
            W::LanDiagram, W::HubDiagram, W::WirelessDiagram, W::LoginIdEdit},
        "Select COM Port:", kLocation},
    {"LanModel0", 1, 0, 1, {W::TopLeft, W::AddressEdit, W::PortEdit, W::ConnectionType, W::LanDiagram},
        {W::SerialPorts, W::SearchFirst, W::AddressList, W::SerialDiagram, W::PasswordEdit},
        "Display IP Address:", kLocation},
    {"LanModel2", 1, 2, 1, {W::AddressEdit, W::PortEdit, W::SearchFirst, W::LanDiagram}, {W::SerialPorts},
        "Display IP Address:", kLocation},
    {"Wireless", 3, 2, -1, {W::TopLeft, W::AddressEdit, W::PortEdit, W::WirelessDiagram},
        {W::SearchFirst, W::ConnectionType, W::SerialPorts, W::LanDiagram}, "Display IP Address:", kLocation},
    {"EachDisplay", 2, 2, -1, {W::AddressList, W::SearchRow, W::HubDiagram},
        {W::TopLeft, W::BottomLeft, W::Separator, W::PortHeading, W::PortLabel, W::SerialPorts,
            W::AddressEdit, W::PortEdit, W::SearchFirst, W::SerialDiagram, W::LanDiagram},
        nullptr, "3. Display IP Settings:"},
};

class WizardKindTest : public testing::TestWithParam<KindCase>, public SetupFixture
{
};

TEST_P(WizardKindTest, ShowsTheControlsOfTheKind)
{
    const KindCase& c = GetParam();
    app.ConnectionKind = c.kind;
    app.settings.DisplayModel.setBoth(c.model);
    CLayoutSetupDLg wizard(ui);
    for (W id : c.shown)
        EXPECT_FALSE(findControl(&wizard, id)->isHidden()) << int(id);
    for (W id : c.hidden)
        EXPECT_TRUE(findControl(&wizard, id)->isHidden()) << int(id);
    EXPECT_EQ(findControl<QComboBox>(&wizard, W::Connection)->currentIndex(), c.connectionEntry);
    if (c.portLabel) {
        EXPECT_EQ(findControl<QLabel>(&wizard, W::PortLabel)->text(), c.portLabel);
    }
    EXPECT_EQ(findControl<QLabel>(&wizard, W::LocationHeading)->text(), c.heading);
    int diagrams = 0;
    for (W id : {W::SerialDiagram, W::LanDiagram, W::HubDiagram, W::WirelessDiagram})
        diagrams += findControl(&wizard, id)->isHidden() ? 0 : 1;
    EXPECT_EQ(diagrams, 1);
}

INSTANTIATE_TEST_SUITE_P(Kinds, WizardKindTest, testing::ValuesIn(kKindCases), rowName<KindCase>);

TEST_F(LayoutWizardTest, StoredKind2SwitchesToSerialWithTheFirstEntry)
{
    app.ConnectionKind = 2;
    CLayoutSetupDLg wizard(ui);
    EXPECT_EQ(findControl<QTableWidget>(&wizard, W::AddressList)->rowCount(), 6);
    choose(wizard, W::Connection, 0);
    EXPECT_EQ(app.ConnectionKind, 0);
    EXPECT_FALSE(findControl(&wizard, W::SerialPorts)->isHidden());
    EXPECT_TRUE(findControl(&wizard, W::AddressList)->isHidden());
    EXPECT_FALSE(findControl(&wizard, W::TopLeft)->isHidden());
}

TEST_F(LayoutWizardTest, TypedAddressIsReplacedUntilConfirmed)
{
    app.ConnectionKind = 1;
    app.settings.TelnetPort.setBoth(23);
    CLayoutSetupDLg wizard(ui);
    auto* address = findControl<QLineEdit>(&wizard, W::AddressEdit);
    auto* port = findControl<QLineEdit>(&wizard, W::PortEdit);
    EXPECT_EQ(address->text(), "127.0.0.10");
    EXPECT_EQ(port->text(), "23");

    address->setText("127.0.0.77");
    choose(wizard, W::DisplayModel, 2);
    EXPECT_EQ(address->text(), "127.0.0.10");

    address->setText("127.0.0.77");
    port->clear();
    press(wizard, W::Ok);
    EXPECT_EQ(wizard.outcome(), CLayoutSetupDLg::Outcome::Ok);
    EXPECT_EQ(app.settings.IpAddress.current, "127.0.0.77");
    EXPECT_EQ(app.settings.TelnetPort.current, 0);
    EXPECT_EQ(app.settings.DisplayModel.current, 2);
}

TEST_F(LayoutWizardTest, AutoSetupTakesTheAddressToo)
{
    app.ConnectionKind = 3;
    CLayoutSetupDLg wizard(ui);
    findControl<QLineEdit>(&wizard, W::AddressEdit)->setText("127.0.0.88");
    findControl<QLineEdit>(&wizard, W::PortEdit)->setText("8899");
    press(wizard, W::AutoSetup);
    EXPECT_EQ(wizard.outcome(), CLayoutSetupDLg::Outcome::AutoSetup);
    EXPECT_EQ(app.settings.IpAddress.current, "127.0.0.88");
    EXPECT_EQ(app.settings.TelnetPort.current, 8899);
}

TEST_F(LayoutWizardTest, OkOnSerialLeavesAddressAndPortAlone)
{
    app.settings.TelnetPort.setBoth(23);
    CLayoutSetupDLg wizard(ui);
    choose(wizard, W::Rows, 2);
    findControl<QRadioButton>(&wizard, W::TopLeft)->click();
    press(wizard, W::Ok);
    EXPECT_EQ(app.WallRows, 3);
    EXPECT_EQ(app.FirstDisplayAtBottom, 0);
    EXPECT_EQ(app.settings.IpAddress.current, "127.0.0.10");
    EXPECT_EQ(app.settings.TelnetPort.current, 23);
    EXPECT_EQ(app.LanLoginKind, 0);
}

TEST_F(LayoutWizardTest, InPlaceEditingStoresTheAddress)
{
    app.ConnectionKind = 2;
    app.IpTable[0] = "127.0.0.20";
    CLayoutSetupDLg wizard(ui);
    wizard.show();
    QApplication::setActiveWindow(&wizard);
    auto* list = findControl<QTableWidget>(&wizard, W::AddressList);
    auto* editor = findControl<QLineEdit>(&wizard, W::CellEditor);
    EXPECT_EQ(list->item(0, 1)->text(), "127.0.0.20");
    EXPECT_EQ(list->item(1, 1)->text(), "127.0.0.10");

    emit list->cellDoubleClicked(1, 0);
    EXPECT_TRUE(editor->isHidden());

    emit list->cellDoubleClicked(1, 1);
    ASSERT_FALSE(editor->isHidden());
    EXPECT_EQ(editor->text(), "127.0.0.10");
    editor->setText("127.0.0.42");
    findControl(&wizard, W::Columns)->setFocus();
    QApplication::processEvents();
    EXPECT_TRUE(editor->isHidden());
    EXPECT_EQ(list->item(1, 1)->text(), "127.0.0.42");
    EXPECT_EQ(app.IpTable[1], "127.0.0.42");
    EXPECT_TRUE(app.IpFileDirty);

    // Kept whatever the wizard's outcome.
    press(wizard, W::Cancel);
    EXPECT_EQ(app.IpTable[1], "127.0.0.42");
}

TEST_F(LayoutWizardTest, PictureAndAddressListSelectEachOther)
{
    app.ConnectionKind = 2;
    app.FirstDisplayAtBottom = 0;
    CLayoutSetupDLg wizard(ui);
    wizard.show();
    auto* list = findControl<QTableWidget>(&wizard, W::AddressList);
    CTestPatternCtrl* picture = wizard.wallPicture();
    EXPECT_EQ(wizard.currentRow(), 5);

    // Row of Monitor ID 5: column 2, row 2 on a top-left 3 x 2 wall, cell 1 * 2 + 1.
    list->selectRow(4);
    EXPECT_EQ(picture->highlightedCell(), 3);
    EXPECT_EQ(wizard.currentRow(), 4);

    // The top right cell is Monitor ID 3.
    picture->renderToImage();
    const QPoint topRight(picture->width() - 5, 5);
    emit picture->released(topRight);
    EXPECT_EQ(list->currentRow(), 2);
    EXPECT_EQ(picture->highlightedCell(), 4);

    // A change of the wall size clears the highlight.
    choose(wizard, W::Columns, 1);
    EXPECT_EQ(picture->highlightedCell(), kNoCell);
    EXPECT_EQ(list->rowCount(), 4);
}

// "Search" of a row opens the discovery for that display and stores what it returns.
TEST_F(LayoutWizardTest, RowSearchStoresTheChosenAddress)
{
    app.ConnectionKind = 2;
    app.FirstDisplayAtBottom = 0;
    app.SearchList = {{"PANEL", "127.0.0.55"}};
    CLayoutSetupDLg wizard(ui);
    findControl<QTableWidget>(&wizard, W::AddressList)->selectRow(3);
    ModalDriver driver;
    QString title;
    driver.on<CIpSearchDlg>([&](CIpSearchDlg& search) {
        title = findControl<QLabel>(&search, IpSearchControl::Title)->text();
        auto* found = findControl<QTableWidget>(&search, IpSearchControl::DeviceList);
        found->selectRow(0);
        emit found->cellDoubleClicked(0, 1);
        press(search, IpSearchControl::Ok);
    });
    press(wizard, W::SearchRow);
    EXPECT_EQ(title, "Display IP Address Edit\nfor Monitor ID = 4, Location = (3,2)");
    EXPECT_EQ(findControl<QTableWidget>(&wizard, W::AddressList)->item(3, 1)->text(), "127.0.0.55");
    EXPECT_EQ(app.IpTable[3], "127.0.0.55");
    EXPECT_TRUE(app.IpFileDirty);
}

} // namespace
} // namespace ordalis::test
