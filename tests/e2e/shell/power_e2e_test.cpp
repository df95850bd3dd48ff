#include "app/ctavrin_app.h"
#include "pages/home_page.h"
#include "platform/event_loop_waiter.h"
#include "platform/qt_lan_connection.h"
#include "platform/qt_serial_port.h"
#include "platform/steady_clock.h"
#include "setup/progress_box.h"
#include "tests/e2e/sim_runner.h"
#include "tests/fakes/fake_clock.h"
#include "tests/fakes/fake_host_addresses.h"
#include "tests/fakes/fake_prompts.h"
#include "tests/fakes/virtual_timer_service.h"
#include "tests/gui/support/gui_fixture.h"
#include "widgets/control_id.h"
#include "widgets/ui_context.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace ordalis::test {
namespace {

enum class Link { Serial, Lan };

// The home page on the real serial port and sockets against a simulated 3 x 2 wall. Exchanges wait
// in real time; the page's and the progress box's timers run on virtual time, so the box's ten
// ticks cost nothing.
class PowerE2eTest : public testing::TestWithParam<Link>, public SimRunner
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        app.DataFolder = dir.path();
        app.WallColumns = 3;
        app.WallRows = 2;
        app.settings.ComPort.setBoth(1);
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("ports")));
    }

    void TearDown() override
    {
        home.reset();
        if (sim)
            sim->stop();
    }

    // Starts the wall with its displays off, some of them silent.
    void startWall(bool silent)
    {
        sim::SimConfig config = sim::SimConfig::chain(6);
        for (sim::DisplaySetup& display : config.displays) {
            display.powered = false;
            display.silent = silent;
        }
        if (GetParam() == Link::Serial) {
            config.linkPath = dir.filePath(QStringLiteral("ports/COM1")).toStdString();
            config.serial = true;
        } else {
            config.lan = sim::Endpoint {"127.0.0.1", 0};
        }
        ASSERT_TRUE(start(config));

        if (GetParam() == Link::Lan) {
            app.ConnectionKind = 1;
            app.settings.IpAddress.setBoth(QStringLiteral("127.0.0.1"));
            app.settings.TelnetPort.setBoth(sim->lanPort());
            app.DisplayList.resize(1);
            app.DisplayList[0].address = QStringLiteral("127.0.0.1");
        }
        home = std::make_unique<CPAGE1>(ui);
        home->show();
        if (GetParam() == Link::Lan) {
            // The watchdog's first round makes the connection.
            timers.advanceBy(CPAGE1::kWatchdogPeriodMs);
            ASSERT_TRUE(QTest::qWaitFor(
                [&] {
                    const CClientSocket* socket = app.DisplayList[0].connection.get();
                    return socket && socket->state == CClientSocket::kStateWritable;
                },
                5000));
        }
    }

    // Presses a power button; the titles of the boxes that opened and the ticks each ran.
    struct Pressed
    {
        int boxes = 0;
        int ticks = 0;
        QString title;
    };

    Pressed press(HomeControl button)
    {
        Pressed pressed;
        ModalDriver driver;
        driver.on<CProcessbox>([&](CProcessbox& box) {
            pressed.title = findControl<QLabel>(&box, ProcessboxControl::Title)->text();
            while (box.isVisible() && pressed.ticks < 100) {
                timers.advanceBy(CProcessbox::kTickMs);
                ++pressed.ticks;
            }
        });
        QTest::mouseClick(findControl<QPushButton>(home.get(), button), Qt::LeftButton);
        pressed.boxes = driver.handled();
        return pressed;
    }

    bool allPowered(bool on) const
    {
        for (int position = 1; position <= sim->displayCount(); ++position) {
            if (sim->display(position).powered != on)
                return false;
        }
        return true;
    }

    QTemporaryDir dir;
    SteadyClock clock;
    EventLoopWaiter waiter {clock};
    FakeClock timerClock;
    VirtualTimerService timers {timerClock, waiter};
    FakePrompts prompts;
    QtSerialPortFactory serialPorts {waiter};
    QtLanConnectionFactory lanConnections {waiter};
    FakeHostAddresses hosts;
    CTavrinApp app {Services {&clock, &waiter, &prompts, &serialPorts, &lanConnections, &hosts}};
    UiContext ui {app, timers};
    std::unique_ptr<CPAGE1> home;
};

TEST_P(PowerE2eTest, PowerOnAndOffReachEveryDisplayWithTheBoxForTenTicks)
{
    startWall(false);
    const Pressed on = press(HomeControl::PowerOn);
    EXPECT_EQ(on.boxes, 1);
    EXPECT_EQ(on.ticks, 10);
    EXPECT_EQ(on.title, QStringLiteral("Power On"));
    EXPECT_TRUE(prompts.messages().empty()) << prompts.messages()[0].text.toStdString();
    EXPECT_TRUE(sim->waitForFramesReceived(1, 2000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return allPowered(true); }, 2000));
    EXPECT_FALSE(app.ComPortOpen);

    const Pressed off = press(HomeControl::PowerOff);
    EXPECT_EQ(off.boxes, 1);
    EXPECT_EQ(off.ticks, 10);
    EXPECT_EQ(off.title, QStringLiteral("Power Off"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return allPowered(false); }, 2000));
    EXPECT_FALSE(app.ComPortOpen);
}

// A wall that hears but never answers: over the serial chain the write to all displays waits for
// an answer and fails; over one LAN connection such a write is not answered anyway and succeeds.
TEST_P(PowerE2eTest, SilentWall)
{
    startWall(true);
    const Pressed on = press(HomeControl::PowerOn);
    if (GetParam() == Link::Serial) {
        EXPECT_EQ(on.boxes, 0);
        ASSERT_EQ(prompts.messages().size(), 1u);
        EXPECT_EQ(prompts.messages()[0].text, QStringLiteral("RS232 Not Ack !!"));
        EXPECT_EQ(prompts.messages()[0].icon, PromptIcon::Stop);
    } else {
        EXPECT_EQ(on.boxes, 1);
        EXPECT_EQ(on.ticks, 10);
        EXPECT_TRUE(prompts.messages().empty());
    }
    // The displays obeyed all the same.
    EXPECT_TRUE(QTest::qWaitFor([&] { return allPowered(true); }, 2000));
}

INSTANTIATE_TEST_SUITE_P(Links, PowerE2eTest, testing::Values(Link::Serial, Link::Lan),
    [](const testing::TestParamInfo<Link>& row) { return row.param == Link::Serial ? "Serial" : "Lan"; });

} // namespace
} // namespace ordalis::test
