#include "app/display_list.h"
#include "link/command_exchange.h"
#include "link/connection_keeper.h"
#include "link_fixture.h"

#include <gmock/gmock.h>

#include <functional>

namespace ordalis::test {
namespace {

using testing::ElementsAre;

class KeeperTest : public LinkFixture, public testing::Test
{
protected:
    // A per-display wall of three, as the display list builds it: no connections yet.
    void buildThree()
    {
        app.ConnectionKind = std::uint8_t(ConnectionKind::LanEach);
        app.WallColumns = 3;
        app.WallRows = 1;
        app.IpTable[0] = QStringLiteral("127.0.0.11");
        app.IpTable[1] = QStringLiteral("127.0.0.12");
        app.IpTable[2] = QStringLiteral("127.0.0.13");
        BuildDisplayList(app);
    }
    FakeLanPeer& peer(int display) { return network.peer(QStringLiteral("127.0.0.1%1").arg(display), 23); }
    std::vector<int> statuses() const
    {
        std::vector<int> s;
        for (const IPixy& r : app.DisplayList)
            s.push_back(r.status);
        return s;
    }
    int attempts() const { return int(network.attempts().size()); }

    ConnectionKeeper keeper {app};
};

TEST_F(KeeperTest, MakesTheMissingConnections)
{
    buildThree();
    for (int d = 1; d <= 3; ++d)
        peer(d);
    EXPECT_THAT(statuses(), ElementsAre(255, 255, 255));

    keeper.LanWatchdog();
    EXPECT_EQ(attempts(), 3);
    EXPECT_THAT(statuses(), ElementsAre(0, 0, 0));
    EXPECT_THAT(clock.sleeps(), ElementsAre(100, 100, 100));
    for (const IPixy& r : app.DisplayList) {
        ASSERT_NE(r.connection, nullptr);
        EXPECT_EQ(r.connection->connectedFlag, 1) << "set at once: not rebuilt before its outcome";
    }

    // Still connecting on the next run: left alone.
    keeper.LanWatchdog();
    EXPECT_EQ(attempts(), 3);

    network.deliverEvents();
    keeper.LanWatchdog();
    EXPECT_EQ(attempts(), 3);
    for (const IPixy& r : app.DisplayList)
        EXPECT_EQ(r.connection->state, CClientSocket::kStateWritable);
}

TEST_F(KeeperTest, RebuildsMarkedFailedAndClosedConnections)
{
    buildThree();
    peer(1);
    peer(2).refuses = true;
    peer(3);
    keeper.LanWatchdog();
    network.deliverEvents();
    ASSERT_EQ(app.DisplayList[1].connection->state, CClientSocket::kStateFailed);

    // Display 2's connect failed; display 3's module closes; display 1 is marked by an exchange.
    peer(2).refuses = false;
    peer(3).closeNow();
    network.deliverEvents();
    app.DisplayList[0].status = 255;
    clock.clearSleeps();
    keeper.LanWatchdog();

    ASSERT_EQ(attempts(), 6);
    EXPECT_EQ(network.attempts()[3].address, QStringLiteral("127.0.0.11"));
    EXPECT_EQ(network.attempts()[4].address, QStringLiteral("127.0.0.12"));
    EXPECT_EQ(network.attempts()[5].address, QStringLiteral("127.0.0.13"));
    EXPECT_THAT(statuses(), ElementsAre(0, 0, 0));
    EXPECT_THAT(clock.sleeps(), ElementsAre(100, 100, 100));
    EXPECT_EQ(peer(1).openConnections(), 1) << "the old connection was closed";
    network.deliverEvents();
    for (const IPixy& r : app.DisplayList)
        EXPECT_EQ(r.connection->state, CClientSocket::kStateWritable);
}

// A display that missed an acknowledgement gets a new connection on the next run, and the
// next exchange goes through it.
TEST_F(KeeperTest, ExchangeAndKeeperTogether)
{
    buildThree();
    for (int d = 1; d <= 3; ++d)
        peer(d);
    keeper.LanWatchdog();
    network.deliverEvents();
    CommandExchange exchange(app);
    EXPECT_FALSE(exchange.WriteValue(2, "BRL", 50));
    EXPECT_THAT(statuses(), ElementsAre(0, 255, 0));

    keeper.LanWatchdog();
    network.deliverEvents();
    EXPECT_EQ(attempts(), 4);
    EXPECT_THAT(statuses(), ElementsAre(0, 0, 0));
    peer(2).replyToNextSend({{30, hex("07 02 00 42 52 4C 32 08")}});
    EXPECT_TRUE(exchange.WriteValue(2, "BRL", 50));
}

TEST_F(KeeperTest, ConnectionThatCannotBeCreatedIsTriedAgain)
{
    buildThree();
    network.failNextCreate();
    keeper.LanWatchdog();
    EXPECT_EQ(app.DisplayList[0].connection, nullptr);
    EXPECT_THAT(boxTexts(prompts.messages()), ElementsAre("Could not create new socket|0"));
    EXPECT_THAT(statuses(), ElementsAre(0, 0, 0));

    keeper.LanWatchdog();
    EXPECT_NE(app.DisplayList[0].connection, nullptr);
}

TEST_F(KeeperTest, PausedOrOnSerialDoesNothing)
{
    buildThree();
    app.WatchdogPaused = true;
    keeper.LanWatchdog();
    EXPECT_EQ(attempts(), 0);
    app.WatchdogPaused = false;

    app.ConnectionKind = std::uint8_t(ConnectionKind::Serial);
    BuildDisplayList(app);
    keeper.LanWatchdog();
    EXPECT_EQ(attempts(), 0);
    EXPECT_TRUE(clock.sleeps().empty());
}

TEST_F(KeeperTest, SingleConnectionAtTheWifiModulePort)
{
    app.ConnectionKind = std::uint8_t(ConnectionKind::Wireless);
    app.settings.LanType.setBoth(1);
    BuildDisplayList(app);
    network.peer(QStringLiteral("127.0.0.10"), 8899);
    keeper.LanWatchdog();
    ASSERT_EQ(attempts(), 1);
    EXPECT_EQ(network.attempts()[0].address, QStringLiteral("127.0.0.10"));
    EXPECT_EQ(network.attempts()[0].port, 8899);
    network.deliverEvents();
    EXPECT_EQ(app.DisplayList[0].connection->state, CClientSocket::kStateWritable);
}

// A box raised while connecting runs a nested event loop, in which the timer fires again:
// that run must do nothing.
class ReentrantPrompts final : public Prompts
{
public:
    std::function<void()> during;
    int shown = 0;
    PromptAnswer showMessage(const MessagePrompt&) override
    {
        ++shown;
        if (during)
            during();
        return PromptAnswer::Ok;
    }
    std::optional<QString> chooseFile(const FilePrompt&) override { return std::nullopt; }
};

TEST_F(KeeperTest, BusyRunIsNotEntered)
{
    ReentrantPrompts boxes;
    app.services.prompts = &boxes;
    buildThree();
    int attemptsDuringBox = -1;
    boxes.during = [&] {
        EXPECT_TRUE(keeper.busy());
        keeper.LanWatchdog();
        attemptsDuringBox = attempts();
    };
    network.failNextCreate();
    keeper.LanWatchdog();
    EXPECT_EQ(boxes.shown, 1);
    EXPECT_EQ(attemptsDuringBox, 0);
    EXPECT_FALSE(keeper.busy());
    EXPECT_EQ(attempts(), 2);
}

// The list may be rebuilt under a nested event loop (a confirmed wizard): the run goes on
// over the new list without touching the old records.
TEST_F(KeeperTest, ListRebuiltDuringARun)
{
    ReentrantPrompts boxes;
    app.services.prompts = &boxes;
    buildThree();
    boxes.during = [&] {
        app.WallColumns = 1;
        BuildDisplayList(app);
    };
    network.failNextCreate();
    keeper.LanWatchdog();
    ASSERT_EQ(app.DisplayList.size(), 1u);
    EXPECT_EQ(attempts(), 0);
}

// Rebuilding the list closes every connection before the keeper makes the new ones.
TEST_F(KeeperTest, RebuiltListStartsWithNoConnections)
{
    buildThree();
    for (int d = 1; d <= 3; ++d)
        peer(d);
    keeper.LanWatchdog();
    network.deliverEvents();
    ASSERT_EQ(network.liveConnections(), 3);

    app.ConnectionKind = std::uint8_t(ConnectionKind::Lan);
    BuildDisplayList(app);
    EXPECT_EQ(network.liveConnections(), 0);
    for (int d = 1; d <= 3; ++d)
        EXPECT_EQ(peer(d).openConnections(), 0);
    ASSERT_EQ(app.DisplayList.size(), 1u);
    EXPECT_EQ(app.DisplayList[0].connection, nullptr);

    network.peer(QStringLiteral("127.0.0.10"), 23);
    keeper.LanWatchdog();
    EXPECT_EQ(network.attempts().back().address, QStringLiteral("127.0.0.10"));
}

} // namespace
} // namespace ordalis::test
