// What only the real serial port and LAN connection do, against a far end the test plays itself:
// a raw pseudo-terminal and a loopback TCP peer. What every implementation does is in the
// contract suites.
#include "contract_lan_worlds.h"
#include "platform/event_loop_waiter.h"
#include "platform/qt_serial_port.h"
#include "platform/steady_clock.h"

#include <gmock/gmock.h>

namespace ordalis::test {
namespace {

using testing::ElementsAre;

TEST(SerialPortOpen, MissingDeviceDoesNotOpen)
{
    SteadyClock clock;
    EventLoopWaiter waiter {clock};
    QtSerialPort port(waiter);
    EXPECT_FALSE(port.open(QStringLiteral("/nonexistent/ttyS99"), 128, 256));
    EXPECT_FALSE(port.isOpen());
}

class LanConnectionOnLoopback : public testing::Test
{
protected:
    void SetUp() override { ASSERT_THAT(world.connect(), ElementsAre("connected 0", "writable")); }

    LoopbackLanWorld world;
};

// Part of what arrived is in the connection's own buffer, the rest still in the system: a
// drain (64 at a time until a read comes back short) leaves nothing behind.
TEST_F(LanConnectionOnLoopback, ReadTakesWhatTheSystemHolds)
{
    world.peerSendsAfter(0, Bytes(10, 0x11));
    ASSERT_TRUE(world.connection().waitForReadable(world.now() + 1000));
    world.peerSendsAfter(0, Bytes(90, 0x22));
    std::size_t drained = 0;
    for (;;) {
        const std::size_t got = world.read(64).bytes.size();
        drained += got;
        if (got != 64)
            break;
    }
    EXPECT_EQ(drained, 100u);
    EXPECT_EQ(world.read(64).result, 0);
}

TEST_F(LanConnectionOnLoopback, UrgentDataIsReportedAndLeftOutOfTheStream)
{
    ASSERT_TRUE(world.peer().sendUrgent());
    world.peerSendsAfter(0, {0x07});
    Listener& listener = world.listener();
    EXPECT_TRUE(world.runEventsUntil([&] { return listener.saw("urgent"); }, 1000));
    EXPECT_TRUE(world.runEventsUntil([&] { return listener.taken.size() == 1; }, 1000));
    EXPECT_THAT(listener.taken, ElementsAre(0x07));
}

} // namespace
} // namespace ordalis::test
