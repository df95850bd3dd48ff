#include "platform/event_loop_waiter.h"
#include "platform/qt_timer_service.h"
#include "platform/steady_clock.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QTimer>

#include <gmock/gmock.h>

#include <string>
#include <vector>

namespace ordalis::test {
namespace {

using testing::ElementsAre;

// The real waiter: what the program would do meanwhile waits its turn, what keeps the window
// alive does not.
class EventLoopWaiterTest : public testing::Test
{
protected:
    // One turn of the event loop after the wait, as the program's own loop takes it.
    static void runPosted() { QCoreApplication::processEvents(); }

    SteadyClock clock;
    EventLoopWaiter waiter {clock};
    QtTimerService timers {waiter};
    std::vector<std::string> events;
};

TEST_F(EventLoopWaiterTest, ATimerThatExpiresDuringAWaitFiresOnceAfterIt)
{
    int expiries = 0;
    bool firedInsideAWait = false;
    const std::unique_ptr<IntervalTimer> timer = timers.createTimer([&] {
        ++expiries;
        firedInsideAWait = firedInsideAWait || waiter.busy();
    });
    timer->start(10);
    waiter.pause(120); // a dozen periods
    EXPECT_EQ(expiries, 0);
    timer->start(60000); // nothing more of its own before the check
    runPosted();
    EXPECT_EQ(expiries, 1);
    EXPECT_FALSE(firedInsideAWait);
}

TEST_F(EventLoopWaiterTest, ATimerStoppedDuringTheWaitDoesNotFire)
{
    int expiries = 0;
    const std::unique_ptr<IntervalTimer> timer = timers.createTimer([&] { ++expiries; });
    timer->start(10);
    QTimer::singleShot(60, [&] { timer->stop(); });
    waiter.pause(100);
    runPosted();
    EXPECT_EQ(expiries, 0);
}

TEST_F(EventLoopWaiterTest, HeldWorkRunsAfterTheWaitInArrivalOrder)
{
    QTimer::singleShot(10, [&] { waiter.deliver(this, [&] { events.push_back("first"); }); });
    QTimer::singleShot(20, [&] { waiter.deliver(this, [&] { events.push_back("second"); }); });
    waiter.pause(60);
    EXPECT_TRUE(events.empty());
    // Work that comes after the wait but before the held work has run queues behind it.
    waiter.deliver(this, [&] { events.push_back("third"); });
    EXPECT_TRUE(events.empty());
    runPosted();
    EXPECT_THAT(events, ElementsAre("first", "second", "third"));
    // With nothing held, work runs at once.
    waiter.deliver(this, [&] { events.push_back("now"); });
    EXPECT_EQ(events.back(), "now");
}

TEST_F(EventLoopWaiterTest, WorkOfAnOwnerThatWentAwayIsDropped)
{
    int gone = 0;
    QTimer::singleShot(5, [&] { waiter.deliver(&gone, [&] { ++gone; }); });
    waiter.pause(30);
    waiter.forget(&gone);
    runPosted();
    EXPECT_EQ(gone, 0);
}

// Qt's own posted work (paints, the accessibility bus's calls) is handled during the wait.
TEST_F(EventLoopWaiterTest, TheEventLoopKeepsRunningDuringAWait)
{
    QObject target;
    QMetaObject::invokeMethod(
        &target, [&] { events.push_back(waiter.busy() ? "during" : "after"); }, Qt::QueuedConnection);
    waiter.pause(30);
    EXPECT_THAT(events, ElementsAre("during"));
}

TEST_F(EventLoopWaiterTest, AWaitEndsAsSoonAsWhatItWaitsForHolds)
{
    bool arrived = false;
    QTimer::singleShot(20, [&] { arrived = true; });
    const std::int64_t deadline = clock.nowMs() + 5000;
    EXPECT_TRUE(waiter.waitUntil(deadline, [&] { return arrived; }));
    EXPECT_LT(clock.nowMs(), deadline);
    EXPECT_FALSE(waiter.waitUntil(clock.nowMs() + 20, [] { return false; }));
}

} // namespace
} // namespace ordalis::test
