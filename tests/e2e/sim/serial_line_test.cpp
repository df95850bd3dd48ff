#include "sim/wall_sim.h"
#include "tests/e2e/sim/sim_peer.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sys/ioctl.h>

namespace ordalis::sim {
namespace {

using test::Peer;

// The records of frames, without the port's open and close events.
std::vector<TrafficRecord> frames(std::vector<TrafficRecord> records)
{
    std::erase_if(records, [](const TrafficRecord& r) { return r.direction == "event"; });
    return records;
}

// A chain on a pseudo-terminal, and the PC's end of it.
class SerialWall : public ::testing::Test
{
protected:
    void start(SimConfig config)
    {
        config.serial = true;
        m_sim = std::make_unique<WallSim>(std::move(config));
        ASSERT_TRUE(m_sim->start()) << m_sim->errorText();
        m_port = Peer::serial(m_sim->serialPath());
        ASSERT_TRUE(m_port.valid()) << m_sim->serialPath() << ": " << m_port.error();
    }

    WallSim& sim() { return *m_sim; }
    Peer& port() { return m_port; }

private:
    std::unique_ptr<WallSim> m_sim;
    Peer m_port;
};

TEST_F(SerialWall, ReadFromDisplayFiveAnswersWithItsValue)
{
    SimConfig config = SimConfig::chain(5);
    config.displays[4].values["BRI"] = {60};
    start(config);
    port().send("07 05 01 42 52 49 08");
    EXPECT_EQ(port().readHex(8), "07 05 00 42 52 49 3C 08");
    EXPECT_EQ(port().quietFor(100), "");

    const auto traffic = frames(sim().traffic());
    ASSERT_EQ(traffic.size(), 2u);
    EXPECT_EQ(traffic[0].endpoint, "serial");
    EXPECT_EQ(traffic[0].direction, "pc");
    EXPECT_EQ(traffic[0].text, "read BRI from 5");
    EXPECT_EQ(traffic[1].direction, "d5");
    EXPECT_EQ(ordalis::test::toHex(traffic[1].bytes), "07 05 00 42 52 49 3C 08");
    EXPECT_EQ(traffic[1].text, "reply BRI=3C from 5");
    EXPECT_GT(traffic[1].ms, traffic[0].ms);
}

TEST_F(SerialWall, BroadcastPowerReadIsAnsweredInChainOrder)
{
    SimConfig config = SimConfig::chain(3);
    config.displays[1].powered = false;
    start(config);
    port().send("07 00 01 50 4F 57 08");
    EXPECT_EQ(port().readHex(24), "07 01 00 50 4F 57 01 08 07 02 00 50 4F 57 00 08 07 03 00 50 4F 57 01 08");
    EXPECT_EQ(port().quietFor(100), "");
}

TEST_F(SerialWall, CidToAllNumbersAnUnnumberedChain)
{
    SimConfig config = SimConfig::chain(3);
    for (DisplaySetup& d : config.displays) {
        d.monitorId = 1;
    }
    start(config);
    port().send("07 00 02 43 49 44 01 08");
    EXPECT_EQ(port().readHex(8), "07 01 00 43 49 44 01 08");
    EXPECT_EQ(port().quietFor(100), "");
    for (int p = 1; p <= 3; ++p) {
        EXPECT_EQ(sim().display(p).monitorId, p);
    }
    port().send("07 03 01 53 45 52 08");
    EXPECT_EQ(port().readHex(20), "07 03 00 53 45 52 57 53 49 4D 30 30 30 30 30 30 30 30 33 08");
}

TEST_F(SerialWall, DivArrangementToAllIsNotAcknowledged)
{
    start(SimConfig::chain(3));
    port().send("07 00 02 4D 41 54 31 08");
    EXPECT_EQ(port().readHex(8), "07 01 00 4D 41 54 31 08");
    port().send("07 00 02 44 49 56 11 08");
    EXPECT_EQ(port().quietFor(300), "");
    port().send("07 00 01 44 49 56 08");
    EXPECT_EQ(port().readHex(24), "07 01 00 44 49 56 11 08 07 02 00 44 49 56 21 08 07 03 00 44 49 56 31 08");
}

TEST_F(SerialWall, EchoReturnsTheSentFrameBeforeTheAnswer)
{
    SimConfig config = SimConfig::chain(2);
    config.faults.echo = true;
    start(config);
    port().send("07 02 02 42 52 4C 32 08");
    EXPECT_EQ(port().readHex(16), "07 02 02 42 52 4C 32 08 07 02 00 42 52 4C 32 08");
    port().send("07 00 01 50 4F 57 08");
    EXPECT_EQ(port().readHex(23), "07 00 01 50 4F 57 08 07 01 00 50 4F 57 01 08 07 02 00 50 4F 57 01 08");
    // DIV 0x11: the echo comes back, the displays stay quiet.
    port().send("07 00 02 44 49 56 11 08");
    EXPECT_EQ(port().quietFor(300), "07 00 02 44 49 56 11 08");
    // Every byte is echoed, noise included.
    port().send("FF 07 01 01 50 4F 57 08");
    EXPECT_EQ(port().readHex(16), "FF 07 01 01 50 4F 57 08 07 01 00 50 4F 57 01 08");
}

TEST_F(SerialWall, SilentDisplayAnswersNothingButObeys)
{
    SimConfig config = SimConfig::chain(3);
    config.displays[1].silent = true;
    start(config);
    port().send("07 02 02 42 52 4C 0A 08");
    EXPECT_EQ(port().quietFor(300), "");
    EXPECT_EQ(sim().display(2).byteValue("BRL"), 10);
    port().send("07 03 01 50 4F 57 08");
    EXPECT_EQ(port().readHex(8), "07 03 00 50 4F 57 01 08");

    sim().setSilent(2, false);
    port().send("07 02 01 42 52 4C 08");
    EXPECT_EQ(port().readHex(8), "07 02 00 42 52 4C 0A 08");
}

TEST_F(SerialWall, FaultsShapeTheAnswers)
{
    start(SimConfig::chain(2));
    SimFaults faults;
    faults.garbage = true;
    faults.garbageEvery = 1;
    sim().setFaults(faults);
    port().send("07 01 01 50 4F 57 08");
    EXPECT_EQ(port().readHex(11), "FF 55 AA 07 01 00 50 4F 57 01 08");

    faults = {};
    faults.splitBytes = 3;
    faults.splitPauseMs = 30;
    sim().setFaults(faults);
    port().send("07 02 01 50 4F 57 08");
    EXPECT_EQ(port().readHex(8), "07 02 00 50 4F 57 01 08");
    EXPECT_EQ(frames(sim().traffic()).back().direction, "d2");

    sim().setPowered(2, false);
    port().send("07 02 01 42 52 4C 08");
    EXPECT_EQ(port().quietFor(200), "");
    EXPECT_FALSE(sim().display(2).powered);
}

TEST_F(SerialWall, SurvivesThePortBeingClosedAndOpenedAgain)
{
    QTemporaryDir folder;
    SimConfig config = SimConfig::chain(2);
    config.linkPath = folder.filePath("ports/COM7").toStdString();
    config.logPath = folder.filePath("traffic.log").toStdString();
    start(config);
    EXPECT_EQ(std::filesystem::read_symlink(config.linkPath), sim().serialPath());
    const auto lines = sim().readyLines();
    EXPECT_EQ(lines, (std::vector<std::string> {"serial " + sim().serialPath(), "link " + config.linkPath}));

    port().send("07 01 01 50 4F 57 08");
    EXPECT_EQ(port().readHex(8), "07 01 00 50 4F 57 01 08");
    port().close();
    port() = Peer::serial(config.linkPath);
    ASSERT_TRUE(port().valid());
    port().send("07 02 01 50 4F 57 08");
    EXPECT_EQ(port().readHex(8), "07 02 00 50 4F 57 01 08");

    sim().stop();
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(config.linkPath)));
    std::ifstream log(config.logPath);
    std::vector<std::string> logLines;
    for (std::string line; std::getline(log, line);) {
        logLines.push_back(line);
    }
    const std::regex frame(R"(\d+\.\d{3} serial (pc|d1|d2) (\w\w )+\w\w \| .+)");
    const std::regex event(R"(\d+\.\d{3} serial event \| port (opened|closed))");
    std::vector<std::string> frameLines;
    for (const std::string& line : logLines) {
        if (std::regex_match(line, frame)) {
            frameLines.push_back(line.substr(line.find(' ') + 1));
        } else {
            EXPECT_TRUE(std::regex_match(line, event)) << line;
        }
    }
    EXPECT_EQ(frameLines,
        (std::vector<std::string> {"serial pc 07 01 01 50 4F 57 08 | read POW from 1",
            "serial d1 07 01 00 50 4F 57 01 08 | reply POW=01 from 1",
            "serial pc 07 02 01 50 4F 57 08 | read POW from 2",
            "serial d2 07 02 00 50 4F 57 01 08 | reply POW=01 from 2"}));
    EXPECT_EQ(logLines.size(), frameLines.size() + 3) << "two opens, one close";
}

// A program that ends without closing its port leaves no lock behind: the next one can open it.
TEST_F(SerialWall, ReleasesAnExclusiveOpenWhenThePortIsClosed)
{
    start(SimConfig::chain(1));
    ASSERT_EQ(ioctl(port().fd(), TIOCEXCL), 0);
    port().close();
    ASSERT_TRUE(sim().waitForTraffic([](const TrafficRecord& r) { return r.text == "port closed"; }, 2000));
    Peer next = Peer::serial(sim().serialPath());
    ASSERT_TRUE(next.valid()) << next.error();
    int exclusive = -1;
    ASSERT_EQ(ioctl(next.fd(), TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    next.send("07 01 01 50 4F 57 08");
    EXPECT_EQ(next.readHex(8), "07 01 00 50 4F 57 01 08");
}

} // namespace
} // namespace ordalis::sim
