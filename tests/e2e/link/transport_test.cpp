// The real serial port and LAN connection against a far end the test plays itself: a raw
// pseudo-terminal and a loopback TCP peer.
#include "e2e_support.h"
#include "platform/qt_lan_connection.h"
#include "platform/qt_serial_port.h"
#include "platform/steady_clock.h"

#include <gmock/gmock.h>

namespace ordalis::test {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::ElementsAre;
using Step = LoopbackPeer::Step;

class SerialPortOnPty : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pty.ok());
        ASSERT_TRUE(port.open(QString::fromStdString(pty.path), 128, 256));
    }
    Bytes read(std::size_t size, std::int64_t deadlineMs)
    {
        Bytes bytes(size);
        const int got = port.read(bytes, deadlineMs);
        bytes.resize(got > 0 ? std::size_t(got) : 0);
        lastResult = got;
        return bytes;
    }

    RawPty pty;
    SteadyClock clock;
    QtSerialPort port {clock};
    int lastResult = 0;
};

TEST_F(SerialPortOnPty, WritesReachTheLine)
{
    EXPECT_TRUE(port.write(Bytes {0x07, 0x01, 0x01, 0x50, 0x4F, 0x57, 0x08}, 1000));
    EXPECT_THAT(pty.received(), ElementsAre(0x07, 0x01, 0x01, 0x50, 0x4F, 0x57, 0x08));
}

TEST_F(SerialPortOnPty, ReadTakesWhatTheDriverHoldsEvenAtAPassedDeadline)
{
    pty.send({0x07, 0x05, 0x00});
    // The bytes are in the driver, not yet in the port's own buffer.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_THAT(read(8, clock.nowMs() - 1), ElementsAre(0x07, 0x05, 0x00));
    EXPECT_TRUE(read(8, clock.nowMs()).empty());
    EXPECT_EQ(lastResult, 0);
    EXPECT_TRUE(port.isOpen());
}

TEST_F(SerialPortOnPty, ReadWaitsForBytesOrTheDeadline)
{
    std::thread far([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        pty.send({0x07, 0x05, 0x00, 0x42});
    });
    const std::int64_t deadline = clock.nowMs() + 5000;
    Bytes got = read(2, deadline);
    far.join();
    EXPECT_THAT(got, ElementsAre(0x07, 0x05)) << "never more than asked";
    EXPECT_THAT(read(8, deadline), ElementsAre(0x00, 0x42));

    const std::int64_t shortDeadline = clock.nowMs() + 80;
    EXPECT_TRUE(read(8, shortDeadline).empty());
    EXPECT_EQ(lastResult, 0);
    EXPECT_GE(clock.nowMs(), shortDeadline) << "a time-out never ends the wait early";
}

TEST_F(SerialPortOnPty, PurgeDropsWhatArrivedBefore)
{
    pty.send({0x01, 0x02, 0x03});
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_TRUE(port.purge());
    pty.send({0x04});
    EXPECT_THAT(read(8, clock.nowMs() + 1000), ElementsAre(0x04));
}

TEST_F(SerialPortOnPty, FarEndGoneFailsAtOnceAndCloses)
{
    pty.closeBoth();
    EXPECT_TRUE(read(8, clock.nowMs() + 5000).empty());
    EXPECT_EQ(lastResult, -1);
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(port.write(Bytes {0x07}, 1000));
}

TEST(SerialPortOpen, MissingDeviceDoesNotOpen)
{
    SteadyClock clock;
    QtSerialPort port(clock);
    EXPECT_FALSE(port.open(QStringLiteral("/nonexistent/ttyS99"), 128, 256));
    EXPECT_FALSE(port.isOpen());
}

// Records what the connection reports and, like the console's receive handler, takes every
// byte on a readable report.
class Listener final : public LanConnectionListener
{
public:
    explicit Listener(LanConnection& connection) : m_connection(connection) { connection.setListener(this); }
    void onConnected(int error) override { events.push_back("connected " + std::to_string(error)); }
    void onWritable() override { events.push_back("writable"); }
    void onReadable() override
    {
        events.push_back("readable");
        std::uint8_t buffer[256];
        std::int64_t n = 0;
        while ((n = m_connection.read(buffer)) > 0)
            taken.insert(taken.end(), buffer, buffer + n);
    }
    void onOutOfBand() override { events.push_back("urgent"); }
    void onClosed() override { events.push_back("closed"); }
    bool saw(const std::string& event) const
    {
        return std::find(events.begin(), events.end(), event) != events.end();
    }

    std::vector<std::string> events;
    Bytes taken;

private:
    LanConnection& m_connection;
};

class LanConnectionOnLoopback : public testing::Test
{
protected:
    void connect()
    {
        connection.connectTo(QStringLiteral("127.0.0.1"), peer.port);
        ASSERT_TRUE(runEventsUntil([this] { return listener.saw("writable"); }, 5000));
        EXPECT_THAT(listener.events, ElementsAre("connected 0", "writable"));
        listener.events.clear();
    }
    Bytes read(std::size_t size)
    {
        Bytes bytes(size);
        const std::int64_t got = connection.read(bytes);
        lastResult = got;
        bytes.resize(got > 0 ? std::size_t(got) : 0);
        return bytes;
    }

    SteadyClock clock;
    LoopbackPeer peer;
    QtLanConnection connection {clock};
    Listener listener {connection};
    std::int64_t lastResult = 0;
};

// The receive handler never takes the bytes an exchange waits for: what arrives during the
// connection's own wait is reported only afterwards, from the event loop.
TEST_F(LanConnectionOnLoopback, WaitKeepsTheBytesForTheWaiter)
{
    peer.play({{Step::Pause, 50}, {Step::Send, 0, {0x07, 0x05, 0x00, 0x42, 0x52, 0x4C, 0x32, 0x08}}});
    connect();
    EXPECT_TRUE(connection.waitForReadable(clock.nowMs() + 5000));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_THAT(read(3), ElementsAre(0x07, 0x05, 0x00));
    EXPECT_TRUE(listener.events.empty());
    EXPECT_THAT(read(8), ElementsAre(0x42, 0x52, 0x4C, 0x32, 0x08));
    EXPECT_TRUE(listener.taken.empty());
    runDueEvents();
    EXPECT_TRUE(listener.taken.empty()) << "nothing left for the handler";
}

TEST_F(LanConnectionOnLoopback, WaitEndsAtTheDeadline)
{
    peer.play({{Step::Pause, 400}});
    connect();
    const std::int64_t deadline = clock.nowMs() + 80;
    EXPECT_FALSE(connection.waitForReadable(deadline));
    EXPECT_GE(clock.nowMs(), deadline);
    EXPECT_TRUE(read(8).empty());
    EXPECT_EQ(lastResult, 0);
}

// The peer sends and closes while the GUI thread is blocked: an exchange sending now finds
// the bytes, then the close.
TEST_F(LanConnectionOnLoopback, BytesLeftAfterThePeerClosedAreStillRead)
{
    peer.play({{Step::Pause, 50}, {Step::Send, 0, {0x07, 0x05, 0x00, 0x42}}, {Step::Close}});
    connect();
    ASSERT_TRUE(blockUntil([this] { return peer.done(); }, 5000));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    connection.send(Bytes {0x07, 0x05, 0x01, 0x42, 0x52, 0x49, 0x08});
    EXPECT_TRUE(connection.waitForReadable(clock.nowMs() + 5000));
    EXPECT_THAT(read(8), ElementsAre(0x07, 0x05, 0x00, 0x42));
    EXPECT_FALSE(connection.waitForReadable(clock.nowMs() + 5000));
    EXPECT_TRUE(read(8).empty());
    EXPECT_EQ(lastResult, -1);
    EXPECT_TRUE(listener.events.empty());
    EXPECT_TRUE(runEventsUntil([this] { return listener.saw("closed"); }, 5000));
    EXPECT_TRUE(listener.taken.empty());
}

// Part of what arrived is in the connection's own buffer, the rest still in the system: a
// drain (64 at a time until a read comes back short) leaves nothing behind.
TEST_F(LanConnectionOnLoopback, ReadTakesWhatTheSystemHolds)
{
    Bytes first(10, 0x11);
    Bytes rest(90, 0x22);
    peer.play({{Step::Pause, 50}, {Step::Send, 0, first}, {Step::Pause, 100}, {Step::Send, 0, rest}});
    connect();
    ASSERT_TRUE(connection.waitForReadable(clock.nowMs() + 5000));
    ASSERT_TRUE(blockUntil([this] { return peer.done(); }, 5000));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::size_t drained = 0;
    for (;;) {
        const std::size_t got = read(64).size();
        drained += got;
        if (got != 64)
            break;
    }
    EXPECT_EQ(drained, 100u);
    EXPECT_TRUE(read(64).empty());
}

TEST_F(LanConnectionOnLoopback, UrgentDataIsReported)
{
    peer.play({{Step::Pause, 50}, {Step::Urgent}, {Step::Send, 0, {0x07}}});
    connect();
    EXPECT_TRUE(runEventsUntil([this] { return listener.saw("urgent"); }, 5000));
    EXPECT_TRUE(runEventsUntil([this] { return listener.taken.size() == 1; }, 5000));
    EXPECT_THAT(listener.taken, ElementsAre(0x07)) << "the urgent byte is not in the stream";
}

TEST_F(LanConnectionOnLoopback, SendReachesThePeer)
{
    peer.play({{Step::Pause, 300}});
    connect();
    EXPECT_EQ(connection.send(Bytes {0x07, 0x00, 0x02, 0x50, 0x4F, 0x57, 0x01, 0x08}), 8);
    ASSERT_TRUE(blockUntil([this] { return peer.done(); }, 5000));
    EXPECT_THAT(peer.receivedNow(), ElementsAre(0x07, 0x00, 0x02, 0x50, 0x4F, 0x57, 0x01, 0x08));
}

TEST(LanConnectionConnect, RefusedAndBadAddress)
{
    SteadyClock clock;
    ClosedPort closed;
    QtLanConnection refused(clock);
    Listener refusedListener(refused);
    refused.connectTo(QStringLiteral("127.0.0.1"), closed.port);
    EXPECT_TRUE(runEventsUntil([&] { return !refusedListener.events.empty(); }, 5000));
    EXPECT_THAT(refusedListener.events, ElementsAre("connected " + std::to_string(LanConnection::kRefused)));
    EXPECT_EQ(refused.send(Bytes {0x07}), -1);
    EXPECT_FALSE(refused.waitForReadable(clock.nowMs() + 1000));

    QtLanConnection named(clock);
    Listener namedListener(named);
    named.connectTo(QStringLiteral("display-one.local"), 23);
    EXPECT_TRUE(runEventsUntil([&] { return !namedListener.events.empty(); }, 5000));
    EXPECT_THAT(namedListener.events, ElementsAre("connected " + std::to_string(LanConnection::kBadAddress)));
}

} // namespace
} // namespace ordalis::test
