#include "page_fixture.h"
#include "pages/about_box.h"
#include "tests/support/case_name.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <vector>

namespace ordalis::test {
namespace {

// Every page as the operator meets it, stated here rather than read from the page table, so a
// wrong entry there fails.
struct ExpectedPage
{
    int number; // what a page request names
    int panelPosition; // 1 at the top
    const char* title;
    int titleId;
    int exitId;
    bool hasStatusLine;
};

// In panel order.
constexpr ExpectedPage kExpectedPages[] = {
    // number, panel position, title, title id, "Exit" id, status line
    {138, 1, "Video Wall Configuration", 1053, 1037, false},
    {142, 2, "Video Wall Adjustment", 1912, 1047, true},
    {141, 3, "Color Adjustment", 1912, 1037, true},
    {146, 4, "Remote Control", 1912, 1047, true},
    {147, 5, "RS232 Command", 1053, 1037, false},
    {148, 6, "Test Pattern", 1912, 1037, true},
    {274, 7, "Back Up / Restore", 1912, 1037, false},
};

const ExpectedPage& expectedPage(PageNumber number)
{
    for (const ExpectedPage& page : kExpectedPages) {
        if (page.number == static_cast<int>(number))
            return page;
    }
    ADD_FAILURE() << "no page numbered " << static_cast<int>(number);
    return kExpectedPages[0];
}

// Panel item p has the control id 1900 + p on every page.
constexpr int itemId(int position)
{
    return 1900 + position;
}

class NavigationTest : public PageFixture
{
protected:
    // The page shown on top: the one page held by the switcher, or the home page.
    CPageFrame* shownPage()
    {
        CPageFrame* shown = &home();
        int held = 0;
        for (const ExpectedPage& expected : kExpectedPages) {
            if (CPageFrame* page = home().switcher().page(PageNumber(expected.number))) {
                ++held;
                shown = page;
            }
        }
        EXPECT_LE(held, 1) << "more than one page exists";
        return shown;
    }

    QPoint panelItemCentre(const CPageFrame& page, int position)
    {
        const QWidget* item = findControl<QWidget>(&page, itemId(position));
        return item ? item->geometry().center() : QPoint();
    }

    void clickPanelItem(CPageFrame& page, int position)
    {
        QTest::mouseClick(&page, Qt::LeftButton, Qt::NoModifier, panelItemCentre(page, position));
        flushEvents();
    }

    CPageFrame* goTo(int number)
    {
        clickPanelItem(*shownPage(), expectedPage(PageNumber(number)).panelPosition);
        return shownPage();
    }

    CPageFrame* goTo(PageNumber number) { return goTo(static_cast<int>(number)); }
};

TEST_F(NavigationTest, EveryPageIsReachedFromEveryOtherAndCoversTheHomePage)
{
    for (const ExpectedPage& from : kExpectedPages) {
        for (const ExpectedPage& to : kExpectedPages) {
            if (from.number == to.number)
                continue;
            goTo(from.number);
            ASSERT_EQ(static_cast<int>(shownPage()->pageNumber()), from.number);
            CPageFrame* page = goTo(to.number);
            ASSERT_EQ(static_cast<int>(page->pageNumber()), to.number) << from.title << " -> " << to.title;
            EXPECT_TRUE(page->isVisible());
            if (page != &home()) {
                EXPECT_EQ(page->geometry(), home().rect());
            }
        }
    }
}

// Each page shows its own frame: title, "About", its "Exit" id, a status line where it has one,
// and its own panel item drawn as the current one.
TEST_F(NavigationTest, EachPageHasItsFrame)
{
    for (const ExpectedPage& info : kExpectedPages) {
        CPageFrame* page = goTo(info.number);
        ASSERT_EQ(static_cast<int>(page->pageNumber()), info.number);
        auto* title = control<QLabel>(page, info.titleId);
        ASSERT_NE(title, nullptr);
        EXPECT_EQ(title->text(), QString::fromLatin1(info.title));
        EXPECT_TRUE(title->font().bold());
        EXPECT_EQ(control<QPushButton>(page, FrameControl::About)->text(), QStringLiteral("About"));
        EXPECT_EQ(control<QPushButton>(page, info.exitId)->text(), QStringLiteral("Exit"));
        EXPECT_EQ(findControl<QLabel>(page, FrameControl::StatusLine) != nullptr, info.hasStatusLine)
            << info.title;
        EXPECT_EQ(page->palette().color(QPalette::Window), QColor(236, 233, 216));
        EXPECT_FALSE(page->isPanelItemClickable(info.panelPosition)) << info.title;
    }
}

TEST_F(NavigationTest, PageLeftIsDeletedAndComesBackFresh)
{
    QPointer<CPageFrame> colour = goTo(PageNumber::Colour);
    ASSERT_EQ(colour->pageNumber(), PageNumber::Colour);
    goTo(PageNumber::RemoteControl);
    EXPECT_TRUE(colour.isNull());

    CPageFrame* again = goTo(PageNumber::Colour);
    ASSERT_EQ(again->pageNumber(), PageNumber::Colour);
    EXPECT_EQ(home().switcher().page(PageNumber::RemoteControl), nullptr);

    // The home page is never taken down.
    goTo(PageNumber::Home);
    EXPECT_EQ(home().switcher().page(PageNumber::Colour), nullptr);
    EXPECT_TRUE(home().isVisible());
}

struct HiddenItemCase
{
    const char* what;
    std::uint8_t connectionKind;
    std::uint8_t displayModel;
    bool rs232Shown;
    bool backUpShown;
};

class HiddenItemTest : public NavigationTest, public testing::WithParamInterface<HiddenItemCase>
{
};

TEST_P(HiddenItemTest, HiddenItemsAreInertOnEveryPage)
{
    const HiddenItemCase& c = GetParam();
    app.ConnectionKind = c.connectionKind;
    app.settings.DisplayModel.setBoth(c.displayModel);
    constexpr int kRs232 = 5;
    constexpr int kBackUp = 7;
    for (const ExpectedPage& info : kExpectedPages) {
        const bool reachable = (info.panelPosition != kRs232 || c.rs232Shown)
            && (info.panelPosition != kBackUp || c.backUpShown);
        if (!reachable)
            continue;
        CPageFrame* page = goTo(info.number);
        ASSERT_EQ(static_cast<int>(page->pageNumber()), info.number) << c.what;
        EXPECT_EQ(!findControl<QWidget>(page, itemId(kRs232))->isHidden(), c.rs232Shown) << c.what;
        EXPECT_EQ(!findControl<QWidget>(page, itemId(kBackUp))->isHidden(), c.backUpShown) << c.what;
        for (int position : {kRs232, kBackUp}) {
            const bool shown = position == kRs232 ? c.rs232Shown : c.backUpShown;
            if (shown || position == info.panelPosition)
                continue;
            clickPanelItem(*page, position);
            EXPECT_EQ(shownPage(), page) << c.what << ": item " << position << " on " << info.title;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, HiddenItemTest,
    testing::Values(HiddenItemCase {"serial, model 0", 0, 0, true, true},
        HiddenItemCase {"one LAN connection, model 1", 1, 1, true, true},
        HiddenItemCase {"one connection per display", 2, 0, false, true},
        HiddenItemCase {"wireless, model 3", 3, 3, false, false},
        HiddenItemCase {"serial, model 2", 0, 2, true, false}),
    caseName<HiddenItemCase>);

TEST_F(NavigationTest, TheKeyboardReachesOnlyThePageShown)
{
    // Back Up item hidden and "DIsplay Status" disabled on the home page.
    app.settings.DisplayModel.setBoth(5);
    home();
    CPageFrame* colour = goTo(PageNumber::Colour);
    EXPECT_TRUE(colour->hasFocus() || colour->isAncestorOf(QApplication::focusWidget()));
    int reachable = 0;
    QWidget* widget = colour;
    for (int step = 0; step < 200; ++step) {
        widget = widget->nextInFocusChain();
        if (widget->isVisible() && widget->isEnabled() && (widget->focusPolicy() & Qt::TabFocus)) {
            EXPECT_TRUE(widget == colour || colour->isAncestorOf(widget))
                << widget->objectName().toStdString();
            ++reachable;
        }
    }
    EXPECT_GT(reachable, 0);

    // Back home, the home page's controls are as they were.
    goTo(PageNumber::Home);
    EXPECT_TRUE(control<QWidget>(&home(), HomeControl::PowerOn)->isVisible());
    EXPECT_TRUE(control<QWidget>(&home(), HomeControl::WallPicture)->isVisible());
    EXPECT_TRUE(control<QWidget>(&home(), HomeControl::SshConnect)->isHidden());
    EXPECT_TRUE(control<QWidget>(&home(), itemId(7))->isHidden());
    EXPECT_TRUE(control<QWidget>(&home(), HomeControl::LayoutSetup)->isVisible());
    EXPECT_FALSE(control<QWidget>(&home(), HomeControl::DisplayStatus)->isEnabled());
}

TEST_F(NavigationTest, CurrentItemAndPlacesOutsideTheItemsChangeNothing)
{
    CPageFrame* colour = goTo(PageNumber::Colour);
    clickPanelItem(*colour, 3);
    EXPECT_EQ(shownPage(), colour);

    // Right of the panel, and a right click on an item.
    QTest::mouseClick(colour, Qt::LeftButton, Qt::NoModifier, QPoint(colour->width() / 2, 100));
    QTest::mouseClick(colour, Qt::RightButton, Qt::NoModifier, panelItemCentre(*colour, 1));
    flushEvents();
    EXPECT_EQ(shownPage(), colour);
}

TEST_F(NavigationTest, HandCursorOnlyOverClickableItems)
{
    CPageFrame* colour = goTo(PageNumber::Colour);
    const auto moveTo = [&](QPoint pos) {
        QMouseEvent move(QEvent::MouseMove, QPointF(pos), colour->mapToGlobal(QPointF(pos)), Qt::NoButton,
            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(colour, &move);
    };
    moveTo(panelItemCentre(*colour, 1));
    EXPECT_EQ(colour->cursor().shape(), Qt::PointingHandCursor);
    moveTo(panelItemCentre(*colour, 3));
    EXPECT_NE(colour->cursor().shape(), Qt::PointingHandCursor);
    moveTo(QPoint(colour->width() / 2, 100));
    EXPECT_NE(colour->cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(NavigationTest, RequestsRunAfterThePostingHandlerInArrivalOrder)
{
    CPageFrame* colour = goTo(PageNumber::Colour);
    const int sender = static_cast<int>(PageNumber::Colour);
    // Two requests from one handler: neither runs before the handler returns; the first takes
    // the colour page down, which makes the second, from a page that is gone, stale.
    emit colour->pageRequested(sender, static_cast<int>(PageAction::GoRemoteControl));
    emit colour->pageRequested(sender, static_cast<int>(PageAction::GoBackUp));
    EXPECT_EQ(shownPage(), colour);
    flushEvents();
    EXPECT_EQ(shownPage()->pageNumber(), PageNumber::RemoteControl);

    // From the remote control page: to the test pattern page, then from there home.
    const int remote = static_cast<int>(PageNumber::RemoteControl);
    const int pattern = static_cast<int>(PageNumber::TestPattern);
    emit shownPage()->pageRequested(remote, static_cast<int>(PageAction::GoTestPattern));
    emit shownPage()->pageRequested(pattern, static_cast<int>(PageAction::GoHome));
    flushEvents();
    EXPECT_EQ(shownPage(), &home());
}

TEST_F(NavigationTest, EverySwitchReleasesTheSerialPort)
{
    home();
    for (PageNumber to : {PageNumber::Colour, PageNumber::TestPattern, PageNumber::Home}) {
        app.ComPortHandle = app.services.serialPorts->create();
        ASSERT_TRUE(app.ComPortHandle->open(QStringLiteral("/dev/ttyS0"), 4096, 4096));
        app.ComPortOpen = true;
        goTo(to);
        EXPECT_FALSE(app.ComPortOpen);
        EXPECT_FALSE(line.isOpen());
    }
}

TEST_F(NavigationTest, EscapeIsIgnoredOnEveryPage)
{
    for (const ExpectedPage& info : kExpectedPages) {
        CPageFrame* page = goTo(info.number);
        QTest::keyClick(page, Qt::Key_Escape);
        flushEvents();
        EXPECT_EQ(shownPage(), page) << info.title;
        EXPECT_TRUE(home().isVisible());
    }
}

struct LeaveCase
{
    const char* what;
    PageNumber page;
    bool byClose; // the window's close command instead of "Exit"
};

class LeaveTest : public NavigationTest, public testing::WithParamInterface<LeaveCase>
{
};

TEST_P(LeaveTest, ExitAndCloseLeaveTheProgram)
{
    const LeaveCase& c = GetParam();
    const ExpectedPage& info = expectedPage(c.page);
    QPointer<CPageFrame> page = goTo(c.page);
    QSignalSpy finished(&home(), &QDialog::finished);
    if (c.byClose)
        page->close();
    else
        QTest::mouseClick(control<QPushButton>(page, info.exitId), Qt::LeftButton);
    flushEvents();
    EXPECT_EQ(finished.count(), 1) << c.what;
    EXPECT_FALSE(home().isVisible()) << c.what;
    EXPECT_TRUE(page.isNull() || page == &home()) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Pages, LeaveTest,
    testing::Values(LeaveCase {"home, Exit", PageNumber::Home, false},
        LeaveCase {"home, close", PageNumber::Home, true},
        LeaveCase {"video wall adjustment, Exit 1047", PageNumber::WallAdjustment, false},
        LeaveCase {"remote control, close", PageNumber::RemoteControl, true},
        LeaveCase {"back up, Exit", PageNumber::BackUp, false}),
    caseName<LeaveCase>);

TEST_F(NavigationTest, AboutBoxShowsNameAndVersion)
{
    CPageFrame* page = goTo(PageNumber::TestPattern);
    ModalDriver driver;
    driver.on<CABOUTDLG>([&](CABOUTDLG& about) {
        EXPECT_EQ(about.windowTitle(), QStringLiteral("About Ordalis"));
        auto* name = control<QLabel>(&about, AboutControl::ProductName);
        EXPECT_EQ(name->text(), QStringLiteral("Ordalis"));
        EXPECT_TRUE(name->font().bold());
        EXPECT_EQ(control<QLabel>(&about, AboutControl::Version)->text(),
            QStringLiteral("Software version Ver 2.1.1"));
        EXPECT_EQ(about.palette().color(QPalette::Window), QColor(250, 250, 250));
        QTest::mouseClick(control<QPushButton>(&about, AboutControl::Ok), Qt::LeftButton);
    });
    QTest::mouseClick(control<QPushButton>(page, FrameControl::About), Qt::LeftButton);
    EXPECT_EQ(driver.handled(), 1);
    EXPECT_EQ(shownPage(), page);
}

TEST_F(NavigationTest, WatchdogKeepsTheLanConnectionWhateverPageIsShown)
{
    app.ConnectionKind = 1;
    app.DisplayList.resize(1);
    app.DisplayList[0].address = QStringLiteral("10.1.1.1"); // no peer there: refused
    home();
    timers.advanceBy(999);
    EXPECT_TRUE(network.attempts().empty());
    timers.advanceBy(1);
    ASSERT_EQ(network.attempts().size(), 1u);
    EXPECT_EQ(network.attempts()[0].address, QStringLiteral("10.1.1.1"));
    EXPECT_EQ(network.attempts()[0].port, 23);

    goTo(PageNumber::Colour);
    network.deliverEvents(); // the connect fails
    timers.advanceBy(1000);
    EXPECT_EQ(network.attempts().size(), 2u);

    app.WatchdogPaused = true;
    network.deliverEvents();
    timers.advanceBy(3000);
    EXPECT_EQ(network.attempts().size(), 2u);
}

} // namespace
} // namespace ordalis::test
