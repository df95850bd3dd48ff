// ordalis-cli's wall commands against the simulator: power, auto-setup, status and discover.
#include "cli_run.h"
#include "cli_sim_fixture.h"
#include "tests/e2e/sim_walls.h"

#include <QUdpSocket>

#include <gmock/gmock.h>

#include <string>

namespace ordalis::test {
namespace {

using sim::SimConfig;
using testing::ElementsAre;
using testing::ElementsAreArray;

std::vector<std::string> tickLines(int ticks, const std::vector<int>& steps)
{
    std::vector<std::string> lines;
    for (int tick = 1; tick <= ticks; ++tick)
        lines.push_back(
            "tick " + std::to_string(tick) + ": step " + std::to_string(steps[std::size_t(tick - 1)]));
    return lines;
}

using WallCli = CliSimTest;

// The same power command over every link, its options before or after the command's name.
TEST_F(WallCli, PowerOnReachesEveryDisplayOverEveryLink)
{
    enum class Link { Serial, Lan, Wifi, LanEach };
    const struct
    {
        const char* what;
        Link link;
        bool optionsFirst;
    } cases[] = {
        {"serial", Link::Serial, false},
        {"one LAN connection", Link::Lan, true},
        {"wireless", Link::Wifi, false},
        {"one connection per display", Link::LanEach, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SimConfig config = SimConfig::chain(3);
        for (sim::DisplaySetup& display : config.displays)
            display.powered = false;
        config.serial = c.link == Link::Serial;
        if (c.link == Link::Lan || c.link == Link::Wifi)
            config.lan = sim::Endpoint {"127.0.0.1", 0};
        if (c.link == Link::LanEach)
            config.lanEach = sim::Endpoint {"127.0.4.1", 0};
        ASSERT_TRUE(start(config));
        const QStringList link = c.link == Link::Serial ? QStringList {"--serial", serial()}
            : c.link == Link::Lan                       ? QStringList {"--lan", lan()}
            : c.link == Link::Wifi                      ? QStringList {"--wifi", lan()}
                                                        : QStringList {"--lan-each", lanEach()};
        const CliRun run = runCli(
            c.optionsFirst ? link + QStringList {"power", "on"} : QStringList {"power", "on"} + link);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out, "");
        // Over LAN a write to all displays is not acknowledged: the frames may still be on their way.
        ASSERT_TRUE(sim->waitForFramesReceived(c.link == Link::LanEach ? 3 : 1, 2000));
        for (int position = 1; position <= 3; ++position)
            EXPECT_TRUE(sim->display(position).powered) << position;
        sim.reset();
    }
}

// A 3 x 2 chain fresh from the factory, the wall given before the command: twelve ticks of the
// progress box's steps, then every display carries its number, the matrix and its division.
TEST_F(WallCli, AutoSetupNumbersAndArrangesAChain)
{
    SimConfig config = unnumbered(6);
    config.serial = true;
    ASSERT_TRUE(start(config));
    const CliRun run = runCli({"--wall", "3x2", "--bottom-left", "--serial", serial(), "auto-setup"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::vector<std::string> expected = tickLines(12, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    expected.push_back("Auto Setup Finished!");
    EXPECT_THAT(run.lines(), ElementsAreArray(expected));
    EXPECT_EQ(run.err, "");
    for (int position = 1; position <= 6; ++position) {
        const sim::DisplaySnapshot display = sim->display(position);
        EXPECT_EQ(display.monitorId, position);
        EXPECT_EQ(display.byteValue("MAT"), 0x32) << position;
        EXPECT_EQ(display.byteValue("DIV"), division(position, 3, 2, true)) << position;
        EXPECT_EQ(display.byteValue("VWF"), 1) << position;
        EXPECT_EQ(display.byteValue("VWS"), 1) << position;
    }
}

// The sort only: steps 3 to 8 are skipped; the read-back fails at the silent second display.
TEST_F(WallCli, AutoSortReportsTheDisplayThatDoesNotAnswer)
{
    SimConfig config = unnumbered(3);
    config.serial = true;
    config.displays[1].silent = true;
    ASSERT_TRUE(start(config));
    const CliRun run = runCli({"auto-setup", "--sort-only", "--serial", serial(), "--wall", "3x1"});
    EXPECT_EQ(run.exitCode, 1);
    std::vector<std::string> expected = tickLines(4, {0, 1, 2, 9});
    expected.push_back("tick 5: step 10 failed");
    expected.push_back("Monitor ID Auto Sort Failure! Please make sure the RS232 daisy chain is connected "
                       "correctly and all displays are in power on status.");
    EXPECT_THAT(run.lines(), ElementsAreArray(expected));
    EXPECT_EQ(run.err, "RS232 Not Ack !!\n");
    EXPECT_EQ(sim->display(3).monitorId, 3);
}

// One module per display: each display is numbered through its own connection after the
// 5 s the modules are given; the wall is the row of the addresses.
TEST_F(WallCli, AutoSortNumbersEachDisplayThroughItsOwnModule)
{
    SimConfig config = unnumbered(2);
    config.lanEach = sim::Endpoint {"127.0.4.11", 0};
    ASSERT_TRUE(start(config));
    const CliRun run = runCli({"auto-setup", "--lan-each", lanEach(), "--sort-only"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_THAT(
        run.lines(), ElementsAre("tick 1: step 0", "tick 2: step 1", "Monitor ID Auto Sort Finished!"));
    EXPECT_EQ(sim->display(1).monitorId, 1);
    EXPECT_EQ(sim->display(2).monitorId, 2);
}

// A chain of three whose second display is off, "Display Model" row 2.
TEST_F(WallCli, StatusPrintsTheDialogsTable)
{
    SimConfig config = SimConfig::chain(3);
    config.serial = true;
    config.displays[1].powered = false;
    std::map<std::string, sim::Bytes>& first = config.displays[0].values;
    first["SER"] = text13("SN0001");
    first["MNA"] = text13("KV-650");
    first["DIV"] = {0x21};
    first["MIN"] = {13};
    first["RTT"] = {0xFB};
    first["RSF"] = {40};
    first["RS2"] = {0};
    first["ERR"] = {0x34, 0x12, 0, 0};
    first["LMT"] = {0x2D, 0, 0, 0, 0x3D, 0, 0, 0};
    first["OTT"] = {0x3C, 0, 0, 0};
    first["OTS"] = {0x3D, 0, 0, 0};
    ASSERT_TRUE(start(config));

    const CliRun run = runCli({"--model", "2", "--serial", serial(), "--wall", "3x1", "status"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::string c = "\u2103";
    const std::vector<std::string> out = run.lines();
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(out[0],
        "ID\tSN\tModel Name\tPower\tDiv.XY\tInput\tTemp.\tFan 1\tFan 2\tErr. Code\tMax. Temp.\tTotal "
        "Time\tOper. Time");
    EXPECT_EQ(out[1],
        "1\tSN0001\tKV-650\tOn\t(2,1)\tDP\t-5" + c + "\t1200rpm\t0rpm\t0x1234\t45" + c
            + "(1H1M)\t1H0M\t1H1M");
    EXPECT_EQ(out[2], "2\t\t\tOff\t--\t--\t--\t--\t--\t--\t--\t--\t--");
    EXPECT_THAT(out[3], testing::StartsWith("3\t"));
    EXPECT_THAT(out[3], testing::HasSubstr("\tOn\t"));
    EXPECT_THAT(run.errLines(),
        ElementsAre("Device searching...please wait", "Available display list: (3 devices are found)"));
}

// Discovery on a loopback network of the test's own, named by --local: three modules of one
// per display at 127.0.3.200 onwards, the third display off.
class DiscoverCli : public WallCli
{
protected:
    void SetUp() override
    {
        QUdpSocket probe;
        ASSERT_TRUE(probe.bind(QHostAddress(QStringLiteral("127.0.3.255")), 0));
        udpPort = probe.localPort();
        probe.close();

        SimConfig config = SimConfig::chain(3);
        config.lanEach = sim::Endpoint {"127.0.3.200", 0};
        config.udpAddress = "127.0.3.255";
        config.udpPort = udpPort;
        const char* names[] = {"KV-870", "KV-650", "KV-320"};
        for (int i = 0; i < 3; ++i)
            config.displays[std::size_t(i)].values["MNA"] = text13(names[i]);
        config.displays[2].powered = false;
        ASSERT_TRUE(start(config));
    }

    std::uint16_t udpPort = 0;
};

TEST_F(DiscoverCli, UdpSearchListsTheModulesThatAnswer)
{
    const CliRun run = runCli(
        {"discover", "--lan-type", "usr", "--port", QString::number(udpPort), "--local", "127.0.3.1"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_THAT(run.lines(),
        ElementsAre(
            "WALLSIM-LAN-1\t127.0.3.200", "WALLSIM-LAN-2\t127.0.3.201", "WALLSIM-LAN-3\t127.0.3.202"));
    EXPECT_EQ(run.err, "");
}

TEST_F(DiscoverCli, ProbeListsTheModulesWhoseFirstDisplayAnswers)
{
    const CliRun run = runCli(
        {"discover", "--port", QString::number(sim->lanEachPort()), "--local", "127.0.3.9,127.0.3.77"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_THAT(run.lines(), ElementsAre("KV-870\t127.0.3.200", "KV-650\t127.0.3.201"));
}

TEST(WallCliUsage, ErrorsExitWithTwo)
{
    const QStringList cases[] = {
        {"power", "--serial", "/dev/null"},
        {"power", "up", "--serial", "/dev/null"},
        {"power", "on", "--serial", "/dev/null", "--wait=5"},
        {"auto-setup", "now", "--serial", "/dev/null"},
        {"auto-setup", "--serial", "/dev/null", "--wall", "3x0"},
        {"auto-setup", "--serial", "/dev/null", "--wall", "11x1"},
        {"--top-left=1", "auto-setup", "--serial", "/dev/null"},
        {"status", "--serial", "/dev/null", "--model", "7"},
        {"status", "--watch"},
        {"discover", "--lan-type", "wifi"},
        {"discover", "--port", "70000"},
        {"discover", "--local", "127.0.0"},
        {"discover", "--serial", "/dev/null"},
        {"--lan", "127.0.0.1", "discover"},
    };
    for (const auto& args : cases) {
        const CliRun run = runCli(args);
        EXPECT_EQ(run.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(run.out.empty()) << args.join(' ').toStdString();
        EXPECT_FALSE(run.err.empty()) << args.join(' ').toStdString();
    }
}

} // namespace
} // namespace ordalis::test
