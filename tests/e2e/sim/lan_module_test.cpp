#include "sim/wall_sim.h"
#include "tests/e2e/sim/sim_peer.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace ordalis::sim {
namespace {

using test::Peer;

std::unique_ptr<WallSim> startLan(SimConfig config)
{
    config.lan = Endpoint {"127.0.0.1", 0};
    auto sim = std::make_unique<WallSim>(std::move(config));
    EXPECT_TRUE(sim->start()) << sim->errorText();
    return sim;
}

TEST(LanModule, CarriesTheWholeChain)
{
    auto sim = startLan(SimConfig::chain(3));
    EXPECT_EQ(
        sim->readyLines(), std::vector<std::string> {"lan 127.0.0.1:" + std::to_string(sim->lanPort())});
    Peer pc = Peer::tcp("127.0.0.1", sim->lanPort());
    ASSERT_TRUE(pc.valid()) << pc.error();
    pc.send("07 00 01 50 4F 57 08");
    EXPECT_EQ(pc.readHex(24), "07 01 00 50 4F 57 01 08 07 02 00 50 4F 57 01 08 07 03 00 50 4F 57 01 08");
    pc.send("07 02 02 56 57 53 01 08");
    EXPECT_EQ(pc.readHex(8), "07 02 00 56 57 53 01 08");
    EXPECT_EQ(sim->display(2).byteValue("VWS"), 1);
    EXPECT_EQ(sim->framesReceived(), 2);
}

TEST(LanModule, ANewConnectionReplacesTheOldOne)
{
    auto sim = startLan(SimConfig::chain(1));
    Peer first = Peer::tcp("127.0.0.1", sim->lanPort());
    ASSERT_TRUE(first.valid());
    first.send("07 01 01 50 4F 57 08");
    EXPECT_EQ(first.readHex(8), "07 01 00 50 4F 57 01 08");
    Peer second = Peer::tcp("127.0.0.1", sim->lanPort());
    ASSERT_TRUE(second.valid());
    EXPECT_TRUE(first.closedByPeer());
    second.send("07 01 01 50 4F 57 08");
    EXPECT_EQ(second.readHex(8), "07 01 00 50 4F 57 01 08");
}

TEST(LanModule, DropsTheConnectionAfterItsFrames)
{
    SimConfig config = SimConfig::chain(2);
    config.faults.dropAfterFrames = 2;
    auto sim = startLan(config);
    for (int round = 0; round < 2; ++round) {
        Peer pc = Peer::tcp("127.0.0.1", sim->lanPort());
        ASSERT_TRUE(pc.valid());
        pc.send("07 01 01 50 4F 57 08");
        EXPECT_EQ(pc.readHex(8), "07 01 00 50 4F 57 01 08");
        // The second frame is still answered, then the module hangs up.
        pc.send("07 02 01 50 4F 57 08");
        EXPECT_EQ(pc.readHex(8), "07 02 00 50 4F 57 01 08");
        EXPECT_TRUE(pc.closedByPeer());
    }
}

TEST(LanModule, RefusesConnectionsOnDemand)
{
    SimConfig config = SimConfig::chain(1);
    config.faults.refuse = true;
    auto sim = startLan(config);
    ASSERT_GT(sim->lanPort(), 0);
    EXPECT_EQ(Peer::tcp("127.0.0.1", sim->lanPort()).error(), ECONNREFUSED);

    SimFaults faults = sim->faults();
    faults.refuse = false;
    sim->setFaults(faults);
    Peer pc = Peer::tcp("127.0.0.1", sim->lanPort());
    ASSERT_TRUE(pc.valid()) << pc.error();
    pc.send("07 01 01 50 4F 57 08");
    EXPECT_EQ(pc.readHex(8), "07 01 00 50 4F 57 01 08");

    faults.refuse = true;
    sim->setFaults(faults);
    EXPECT_TRUE(pc.closedByPeer());
    EXPECT_EQ(Peer::tcp("127.0.0.1", sim->lanPort()).error(), ECONNREFUSED);
}

TEST(LanEachModule, ReachesOnlyItsOwnDisplay)
{
    SimConfig config = SimConfig::chain(3);
    config.displays[1].monitorId = 1; // an unnumbered display, as before the auto setup
    config.lanEach = Endpoint {"127.0.3.21", 0};
    WallSim sim(config);
    ASSERT_TRUE(sim.start()) << sim.errorText();
    const int port = sim.lanEachPort();
    EXPECT_EQ(sim.lanEachAddress(1), "127.0.3.21");
    EXPECT_EQ(sim.lanEachAddress(3), "127.0.3.23");
    EXPECT_EQ(sim.readyLines(),
        (std::vector<std::string> {"lan-each 1 127.0.3.21:" + std::to_string(port),
            "lan-each 2 127.0.3.22:" + std::to_string(port),
            "lan-each 3 127.0.3.23:" + std::to_string(port)}));

    Peer second = Peer::tcp("127.0.3.22", port);
    ASSERT_TRUE(second.valid()) << second.error();
    // A read to all is answered by this module's display alone.
    second.send("07 00 01 50 4F 57 08");
    EXPECT_EQ(second.readHex(8), "07 01 00 50 4F 57 01 08");
    // Frames for another Monitor ID find no display behind this module.
    second.send("07 03 01 50 4F 57 08");
    EXPECT_EQ(second.quietFor(200), "");
    // Numbering through this module alone: only its display takes the number.
    second.send("07 00 02 43 49 44 02 08");
    EXPECT_EQ(second.readHex(8), "07 02 00 43 49 44 02 08");
    EXPECT_EQ(sim.display(1).monitorId, 1);
    EXPECT_EQ(sim.display(2).monitorId, 2);

    Peer third = Peer::tcp("127.0.3.23", port);
    ASSERT_TRUE(third.valid());
    third.send("07 03 02 42 52 4C 0F 08");
    EXPECT_EQ(third.readHex(8), "07 03 00 42 52 4C 0F 08");
    EXPECT_EQ(sim.display(3).byteValue("BRL"), 15);
    EXPECT_EQ(sim.display(2).byteValue("BRL"), 50);
}

} // namespace
} // namespace ordalis::sim
