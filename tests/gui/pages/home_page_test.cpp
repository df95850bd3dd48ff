#include "app/wall_geometry.h"
#include "page_fixture.h"
#include "tests/support/case_name.h"
#include "widgets/wall_picture.h"

#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <string>
#include <vector>

namespace ordalis::test {
namespace {

using Row = std::vector<const char*>; // the five columns of one list row

struct ListCase
{
    const char* what;
    int columns;
    int rows;
    int location;
    int kind;
    int model;
    const char* summary;
    const char* matrix;
    const char* portTitle;
    std::vector<Row> list;
};

const ListCase kListCases[] = {
    {"4x2 bottom left", 4, 2, 1, 0, 1,
        "8 (KV-760 series) displays arranged as 4 columns by 2 rows. This PC is connected to the first "
        "display via RS232",
        "Matrix_X=4, Matrix_Y=2", "COM Port",
        {{"1", "1", "2", "COM4", "RS232"}, {"2", "2", "2", "NA", "RS485 Looping"},
            {"3", "3", "2", "NA", "RS485 Looping"}, {"4", "4", "2", "NA", "RS485 Looping"},
            {"5", "4", "1", "NA", "RS485 Looping"}, {"6", "3", "1", "NA", "RS485 Looping"},
            {"7", "2", "1", "NA", "RS485 Looping"}, {"8", "1", "1", "NA", "RS485 Looping"}}},
    {"4x2 top left", 4, 2, 0, 0, 1,
        "8 (KV-760 series) displays arranged as 4 columns by 2 rows. This PC is connected to the first "
        "display via RS232",
        "Matrix_X=4, Matrix_Y=2", "COM Port",
        {{"1", "1", "1", "COM4", "RS232"}, {"2", "2", "1", "NA", "RS485 Looping"},
            {"3", "3", "1", "NA", "RS485 Looping"}, {"4", "4", "1", "NA", "RS485 Looping"},
            {"5", "4", "2", "NA", "RS485 Looping"}, {"6", "3", "2", "NA", "RS485 Looping"},
            {"7", "2", "2", "NA", "RS485 Looping"}, {"8", "1", "2", "NA", "RS485 Looping"}}},
    {"3x3 model 0 on COM4", 3, 3, 1, 0, 0,
        "9 (KV-870) displays arranged as 3 columns by 3 rows. This PC is connected to the first display "
        "via RS232",
        "Matrix_X=3, Matrix_Y=3", "COM Port",
        {{"1", "1", "3", "COM4", "RS232"}, {"2", "2", "3", "NA", "RS485 Looping"},
            {"3", "3", "3", "NA", "RS485 Looping"}, {"4", "3", "2", "NA", "RS485 Looping"},
            {"5", "2", "2", "NA", "RS485 Looping"}, {"6", "1", "2", "NA", "RS485 Looping"},
            {"7", "1", "1", "NA", "RS485 Looping"}, {"8", "2", "1", "NA", "RS485 Looping"},
            {"9", "3", "1", "NA", "RS485 Looping"}}},
    {"2x1 over one LAN connection, model 4", 2, 1, 0, 1, 4,
        "2 (KV-650E) displays arranged as 2 columns by 1 rows. This PC is connected to the first display "
        "via LAN",
        "Matrix_X=2, Matrix_Y=1", "IP Address",
        {{"1", "1", "1", "192.168.1.100", "LAN"}, {"2", "2", "1", "NA", "RS485 Looping"}}},
    {"1x2 wireless, model 6", 1, 2, 0, 3, 6,
        "2 (KV-320) displays arranged as 1 columns by 2 rows. This PC is connected to the first display "
        "via LAN",
        "Matrix_X=1, Matrix_Y=2", "IP Address",
        {{"1", "1", "1", "192.168.1.100", "LAN"}, {"2", "1", "2", "NA", "RS485 Looping"}}},
    {"2x2 one connection per display, unknown model", 2, 2, 1, 2, 9,
        "4  () displays arranged as 2 columns by 2 rows. This PC and all displays are connected via LAN",
        "Matrix_X=2, Matrix_Y=2", "IP Address",
        {{"1", "1", "2", "10.0.0.1", "LAN"}, {"2", "2", "2", "10.0.0.2", "LAN"},
            {"3", "2", "1", "10.0.0.3", "LAN"}, {"4", "1", "1", "10.0.0.4", "LAN"}}},
};

class HomeListTest : public PageFixture, public testing::WithParamInterface<ListCase>
{
};

TEST_P(HomeListTest, SummaryMatrixLineAndList)
{
    const ListCase& c = GetParam();
    app.WallColumns = static_cast<std::uint8_t>(c.columns);
    app.WallRows = static_cast<std::uint8_t>(c.rows);
    app.FirstDisplayAtBottom = static_cast<std::uint8_t>(c.location);
    app.ConnectionKind = static_cast<std::uint8_t>(c.kind);
    app.settings.DisplayModel.setBoth(static_cast<std::uint8_t>(c.model));
    app.settings.ComPort.setBoth(4);
    if (c.kind == 2) {
        app.DisplayList.resize(static_cast<std::size_t>(c.columns * c.rows));
        for (std::size_t i = 0; i < app.DisplayList.size(); ++i)
            app.DisplayList[i].address = QStringLiteral("10.0.0.%1").arg(i + 1);
    }

    CPAGE1& page = home();
    EXPECT_EQ(control<QLabel>(&page, HomeControl::Summary)->text().toStdString(), c.summary);
    EXPECT_EQ(control<QLabel>(&page, HomeControl::MatrixLine)->text().toStdString(), c.matrix);

    QTableWidget* list = control<QTableWidget>(&page, HomeControl::DisplayListView);
    ASSERT_EQ(list->columnCount(), 5);
    const char* titles[] = {"Monitor ID", "Division X", "Disivion Y", c.portTitle, "External Control"};
    const int widths[] = {76, 70, 70, 100, 110};
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(list->horizontalHeaderItem(k)->text().toStdString(), titles[k]);
        EXPECT_EQ(list->columnWidth(k), widths[k]);
    }
    EXPECT_EQ(list->item(0, 3)->textAlignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);

    ASSERT_EQ(list->rowCount(), static_cast<int>(c.list.size())) << c.what;
    for (int r = 0; r < list->rowCount(); ++r) {
        for (int k = 0; k < 5; ++k) {
            EXPECT_EQ(list->item(r, k)->text().toStdString(), c.list[static_cast<std::size_t>(r)][k])
                << c.what << ": row " << r << " column " << k;
        }
    }
    // Display 1 is selected and highlighted.
    ASSERT_EQ(list->selectedItems().size(), 5);
    EXPECT_EQ(list->selectedItems().first()->row(), 0);
    EXPECT_EQ(page.wallPicture()->highlightedCell(), CellIndexOfMonitorId(app, 1));
    EXPECT_EQ(page.wallPicture()->pictureStyle(), PictureStyle::Home);
}

INSTANTIATE_TEST_SUITE_P(Walls, HomeListTest, testing::ValuesIn(kListCases), caseName<ListCase>);

struct ModelCase
{
    const char* what;
    int model;
    bool statusEnabled;
    bool backUpShown;
};

class HomeModelTest : public PageFixture, public testing::WithParamInterface<ModelCase>
{
};

TEST_P(HomeModelTest, DisplayStatusAndBackUpFollowTheModel)
{
    const ModelCase& c = GetParam();
    app.settings.DisplayModel.setBoth(static_cast<std::uint8_t>(c.model));
    CPAGE1& page = home();
    EXPECT_EQ(control<QPushButton>(&page, HomeControl::DisplayStatus)->isEnabled(), c.statusEnabled);
    EXPECT_EQ(
        control<QPushButton>(&page, HomeControl::DisplayStatus)->text(), QStringLiteral("DIsplay Status"));
    EXPECT_EQ(!control<QWidget>(&page, panelItemId(7))->isHidden(), c.backUpShown);
    EXPECT_TRUE(control<QPushButton>(&page, HomeControl::SshConnect)->isHidden());
    // The wizard is there for every model.
    EXPECT_TRUE(control<QPushButton>(&page, HomeControl::LayoutSetup)->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(Models, HomeModelTest,
    testing::Values(ModelCase {"model 0 status and back up", 0, true, true},
        ModelCase {"model 1 status and back up", 1, true, true},
        ModelCase {"model 2 status only", 2, true, false}, ModelCase {"model 4 status only", 4, true, false},
        ModelCase {"model 5 neither", 5, false, false}, ModelCase {"model 6 neither", 6, false, false}),
    caseName<ModelCase>);

// A 3 x 3 wall with the first display at the bottom left, as the home page shows it.
class HomePictureTest : public PageFixture
{
protected:
    void SetUp() override
    {
        picture = home().wallPicture();
        list = control<QTableWidget>(&home(), HomeControl::DisplayListView);
        picture->repaint(); // the cell size of the painted picture is what hit tests use
    }

    // The centre of a cell in the picture's own coordinates.
    QPoint cellCentre(int column, int row) const
    {
        return {picture->width() / 5 + column * (app.CellWidth + 2) + app.CellWidth / 2,
            row * (app.CellHeight + 2) + app.CellHeight / 2};
    }

    int selectedRow() const
    {
        const QList<QTableWidgetItem*> items = list->selectedItems();
        return items.isEmpty() ? -1 : items.first()->row();
    }

    CTestPatternCtrl* picture = nullptr;
    QTableWidget* list = nullptr;
};

TEST_F(HomePictureTest, ClickingADisplaySelectsItsRow)
{
    // Monitor ID 5 sits in the middle; Monitor ID 7 at the top left; 3 at the bottom right.
    const struct
    {
        int column, row, monitorId;
    } clicks[] = {{1, 1, 5}, {0, 0, 7}, {2, 2, 3}, {2, 1, 4}};
    for (const auto& click : clicks) {
        QTest::mouseClick(picture, Qt::LeftButton, Qt::NoModifier, cellCentre(click.column, click.row));
        EXPECT_EQ(selectedRow(), click.monitorId - 1) << "Monitor ID " << click.monitorId;
        EXPECT_EQ(picture->highlightedCell(), click.column * 3 + click.row);
        EXPECT_EQ(list->item(selectedRow(), 0)->text(), QString::number(click.monitorId));
    }
}

TEST_F(HomePictureTest, SelectingARowHighlightsItsDisplay)
{
    const struct
    {
        int row, cell;
    } selections[] = {{7, 3}, {0, 2}, {4, 4}, {6, 0}};
    for (const auto& selection : selections) {
        list->selectRow(selection.row);
        EXPECT_EQ(picture->highlightedCell(), selection.cell) << "row " << selection.row;
    }
}

TEST_F(HomePictureTest, ThePcsFifthAndTheGapsSelectNothing)
{
    list->selectRow(4);
    const int before = picture->highlightedCell();
    const QPoint misses[] = {
        {picture->width() / 5 - 1, cellCentre(0, 0).y()}, // left of the grid, where the PC is
        {5, picture->height() / 2}, // the PC box
        {picture->width() / 5 + app.CellWidth, cellCentre(0, 0).y()}, // the gap after column 1
    };
    for (const QPoint& point : misses) {
        QTest::mouseClick(picture, Qt::LeftButton, Qt::NoModifier, point);
        EXPECT_EQ(selectedRow(), 4) << point.x() << ", " << point.y();
        EXPECT_EQ(picture->highlightedCell(), before);
    }
}

// Every power operation goes to all displays whatever the pages' target holds.
struct PowerCase
{
    const char* what;
    HomeControl button;
    const char* frame;
    std::uint8_t action;
    const char* title;
    const char* message;
};

class PowerTest : public PageFixture, public testing::WithParamInterface<PowerCase>
{
};

TEST_P(PowerTest, AcknowledgedPowerRunsTheBoxForTenTicks)
{
    const PowerCase& c = GetParam();
    app.settings.CommandTarget.setBoth(0x03);
    app.settings.ProjectId.current = 30;
    app.PendingPowerAction = 9;
    CPAGE1& page = home();
    line.replyToNextWrite({{20, {0x07, 0x01, 0x00, 0x50, 0x4F, 0x57, 0x01, 0x08}}});

    int ticks = 0;
    std::int64_t openedAt = 0;
    ModalDriver driver;
    driver.on<CProcessbox>([&](CProcessbox& box) {
        EXPECT_EQ(control<QLabel>(&box, ProcessboxControl::Title)->text().toStdString(), c.title);
        EXPECT_EQ(control<QLabel>(&box, ProcessboxControl::Message)->text().toStdString(), c.message);
        // The operator cannot close it.
        QTest::keyClick(&box, Qt::Key_Escape);
        box.close();
        EXPECT_TRUE(box.isVisible());
        openedAt = clock.nowMs();
        ticks = tickUntilClosed(box);
        EXPECT_EQ(control<QProgressBar>(&box, ProcessboxControl::ProgressBar)->value(), 10);
    });
    QTest::mouseClick(control<QPushButton>(&page, c.button), Qt::LeftButton);

    EXPECT_EQ(driver.handled(), 1) << c.what;
    EXPECT_EQ(ticks, 10) << c.what;
    EXPECT_EQ(clock.nowMs() - openedAt, 5000);
    EXPECT_EQ(toHex(line.writes()), std::vector<std::string> {c.frame}) << c.what;
    EXPECT_EQ(app.PendingPowerAction, c.action);
    EXPECT_EQ(ui.processbox.step, 0);
    EXPECT_FALSE(app.ComPortOpen);
    EXPECT_FALSE(line.isOpen());
    EXPECT_EQ(app.settings.CommandTarget.current, 0x03);
    EXPECT_TRUE(prompts.messages().empty());
    // Power on assumes the project number again; power off leaves it.
    EXPECT_EQ(app.settings.ProjectId.current, c.action == 0 ? 24 : 30);
}

TEST_P(PowerTest, SilentDisplayShowsTheExchangesMessageAndNoBox)
{
    const PowerCase& c = GetParam();
    app.settings.ProjectId.current = 30;
    app.PendingPowerAction = 9;
    CPAGE1& page = home();

    ModalDriver driver;
    driver.on<CProcessbox>([](CProcessbox&) {});
    QTest::mouseClick(control<QPushButton>(&page, c.button), Qt::LeftButton);

    EXPECT_EQ(driver.handled(), 0);
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_EQ(prompts.messages()[0].text, QStringLiteral("RS232 Not Ack !!"));
    EXPECT_EQ(prompts.messages()[0].icon, PromptIcon::Stop);
    EXPECT_EQ(toHex(line.writes()), std::vector<std::string> {c.frame});
    EXPECT_EQ(app.PendingPowerAction, 9);
    EXPECT_EQ(app.settings.ProjectId.current, 30);
}

INSTANTIATE_TEST_SUITE_P(Buttons, PowerTest,
    testing::Values(PowerCase {"Power ON", HomeControl::PowerOn, "07 00 02 50 4F 57 01 08", 0, "Power On",
                        "Power On is processing, please wait for 5 seconds."},
        PowerCase {"Power OFF", HomeControl::PowerOff, "07 00 02 50 4F 57 00 08", 1, "Power Off",
            "Power Off is processing, please wait for 5 seconds."}),
    caseName<PowerCase>);

// A page request that arrives while the program waits stays queued: the page changes only once
// the wait is over, from the event loop.
class HomeRequestTest : public PageFixture
{
};

TEST_F(HomeRequestTest, PageRequestsWaitTheirTurnDuringAWait)
{
    CPAGE1& page = home();
    bool switchedDuringTheWait = false;
    bool asked = false;
    waiter.addDispatchHook(this, [&] {
        if (!asked) {
            asked = true;
            page.handlePageRequest(int(PageNumber::Home), int(PageAction::GoColour));
        }
        switchedDuringTheWait = switchedDuringTheWait || page.switcher().page(PageNumber::Colour);
    });
    waiter.pause(500);
    waiter.removeDispatchHook(this);
    EXPECT_TRUE(asked);
    EXPECT_FALSE(switchedDuringTheWait);
    EXPECT_EQ(page.switcher().page(PageNumber::Colour), nullptr);
    flushEvents();
    EXPECT_NE(page.switcher().page(PageNumber::Colour), nullptr);
}

} // namespace
} // namespace ordalis::test
