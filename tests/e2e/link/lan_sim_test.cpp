// The exchange over loopback TCP against the simulated LAN modules, with the connection keeper
// making and rebuilding the connections.
#include "sim_fixture.h"

#include <gmock/gmock.h>

namespace ordalis::test {
namespace {

using testing::ElementsAre;

class LanSim : public SimFixture, public testing::Test
{
};

// One module in front of the chain, with and without the chain's echo; the wireless kind is
// handled the same way.
TEST_F(LanSim, OneConnection)
{
    for (const auto& [kind, echo] : {std::pair {ConnectionKind::Lan, false},
             std::pair {ConnectionKind::Lan, true}, std::pair {ConnectionKind::Wireless, false}}) {
        SCOPED_TRACE(testing::Message() << "kind " << int(kind) << (echo ? " with echo" : ""));
        app.DisplayList.clear();
        ASSERT_TRUE(startLan(chainOfThree(echo), kind));
        ASSERT_EQ(app.DisplayList[0].connection->state, CClientSocket::kStateWritable);

        EXPECT_TRUE(exchange.WriteValue(2, "BRL", 50));
        EXPECT_EQ(sim->display(2).byteValue("BRL"), 50);
        std::uint8_t value = 0;
        EXPECT_TRUE(exchange.ReadValue(3, "BRI", value));
        EXPECT_EQ(value, 0x3E);
        EXPECT_TRUE(exchange.WriteValue(0x80, "CON", 40));
        std::array<std::uint8_t, 3> ids {};
        std::array<std::uint8_t, 3> values {};
        EXPECT_EQ(exchange.ReadAllDisplays("BRI", ids, values, 3, 1), 3);
        EXPECT_THAT(ids, ElementsAre(1, 2, 3));
        EXPECT_THAT(values, ElementsAre(0x3C, 0x3D, 0x3E));
        for (int position = 1; position <= 3; ++position)
            EXPECT_EQ(sim->display(position).byteValue("CON"), 40);
        EXPECT_EQ(app.LastErrorText.toStdString(), kEarlierError);
    }
}

TEST_F(LanSim, SilentDisplayBehindTheModule)
{
    sim::SimConfig config = chainOfThree();
    config.displays[0].silent = true;
    ASSERT_TRUE(startLan(config));
    app.ShowErrorBoxes = true;
    EXPECT_FALSE(exchange.WriteValue(1, "BRL", 50));
    EXPECT_EQ(app.LastErrorText, QStringLiteral("127.0.0.1 Not Ack !"));
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_EQ(prompts.messages()[0].icon, PromptIcon::Stop);
    EXPECT_EQ(app.DisplayList[0].status, 0) << "only the per-display kind marks the record";
}

TEST_F(LanSim, RefusedConnection)
{
    sim::SimConfig config = chainOfThree();
    config.faults.refuse = true;
    ASSERT_TRUE(startLan(config));
    EXPECT_EQ(app.DisplayList[0].connection->state, CClientSocket::kStateFailed);
    EXPECT_FALSE(exchange.WriteValue(2, "BRL", 50));
    EXPECT_EQ(app.LastErrorText, QStringLiteral("127.0.0.1 connection fail!"));

    // The module comes back: the keeper's next run rebuilds the failed connection.
    sim::SimFaults faults = sim->faults();
    faults.refuse = false;
    sim->setFaults(faults);
    // The simulator listens again from its own thread: the keeper may need a run or two.
    for (int run = 0; run < 20 && app.DisplayList[0].connection->state != CClientSocket::kStateWritable;
         ++run)
        keepConnections();
    EXPECT_EQ(app.DisplayList[0].connection->state, CClientSocket::kStateWritable);
    EXPECT_TRUE(exchange.WriteValue(2, "BRL", 50));
}

TEST_F(LanSim, OneConnectionPerDisplay)
{
    ASSERT_TRUE(startLanEach(chainOfThree()));
    ASSERT_EQ(app.DisplayList.size(), 3u);
    for (const IPixy& record : app.DisplayList)
        ASSERT_EQ(record.connection->state, CClientSocket::kStateWritable) << record.address.toStdString();

    EXPECT_TRUE(exchange.WriteValue(2, "BRL", 40));
    EXPECT_EQ(sim->display(2).byteValue("BRL"), 40);
    std::uint8_t value = 0;
    EXPECT_TRUE(exchange.ReadValue(3, "BRI", value));
    EXPECT_EQ(value, 0x3E);

    // To all displays: sent on every connection, not awaited.
    EXPECT_TRUE(exchange.WriteValue(0x80, "CON", 30));
    EXPECT_TRUE(blockUntil([&] { return sim->display(3).byteValue("CON") == 30; }, 2000));
    for (int position = 1; position <= 3; ++position)
        EXPECT_EQ(sim->display(position).byteValue("CON"), 30) << position;

    std::array<std::uint8_t, 3> ids {};
    std::array<std::uint8_t, 3> values {};
    EXPECT_EQ(exchange.ReadAllDisplays("BRI", ids, values, 3, 1), 3);
    EXPECT_THAT(ids, ElementsAre(1, 2, 3));
    EXPECT_THAT(values, ElementsAre(0x3C, 0x3D, 0x3E));
    EXPECT_EQ(app.LastErrorText.toStdString(), kEarlierError);
}

// A module drops its connection; the next exchange with that display marks the record, and
// the keeper's next run rebuilds the connection.
TEST_F(LanSim, DroppedConnectionIsRebuilt)
{
    sim::SimConfig config = chainOfThree();
    config.faults.dropAfterFrames = 2;
    ASSERT_TRUE(startLanEach(config));

    EXPECT_TRUE(exchange.WriteValue(2, "BRL", 40));
    std::uint8_t value = 0;
    EXPECT_TRUE(exchange.ReadValue(2, "BRI", value));
    EXPECT_EQ(value, 0x3D);
    // Display 2's module has now closed the connection, unseen while the GUI thread is blocked.
    EXPECT_FALSE(exchange.WriteValue(2, "BRL", 41));
    EXPECT_EQ(app.LastErrorText.toStdString(), sim->lanEachAddress(2) + " Not Ack !");
    EXPECT_EQ(app.DisplayList[1].status, 255);
    EXPECT_EQ(app.DisplayList[0].status, 0);

    ASSERT_TRUE(keepConnections());
    EXPECT_EQ(app.DisplayList[1].status, 0);
    EXPECT_EQ(app.DisplayList[1].connection->state, CClientSocket::kStateWritable);
    EXPECT_TRUE(exchange.WriteValue(2, "BRL", 42));
    EXPECT_EQ(sim->display(2).byteValue("BRL"), 42);
}

} // namespace
} // namespace ordalis::test
