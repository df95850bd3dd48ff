#include "sim/sim_arguments.h"
#include "tests/support/hex_bytes.h"

#include <gtest/gtest.h>

#include <functional>

namespace ordalis::sim {
namespace {

using ordalis::test::hex;

SimConfig parse(const std::vector<std::string>& arguments)
{
    SimConfig config;
    const ArgumentsResult result = parseSimArguments(arguments, config);
    EXPECT_TRUE(result.ok) << result.errorText;
    return config;
}

std::vector<int> ids(const SimConfig& config)
{
    std::vector<int> out;
    for (const DisplaySetup& d : config.displays) {
        out.push_back(d.monitorId);
    }
    return out;
}

TEST(SimArguments, BuildTheChain)
{
    EXPECT_EQ(ids(parse({"--serial"})), std::vector<int> {1});
    EXPECT_EQ(ids(parse({"--displays", "9", "--serial"})), (std::vector<int> {1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(ids(parse({"--ids", "1,1,1,4", "--serial"})), (std::vector<int> {1, 1, 1, 4}));
    EXPECT_EQ(ids(parse({"--serial", "--displays=2", "--ids=7,3"})), (std::vector<int> {7, 3}));

    const SimConfig c = parse({"--displays", "3", "--serial", "--set", "2:BRI=3C",
        "--set=3:SER=41 42 43 44 45 46 "
        "47 48 49 4A 4B 4C 4D",
        "--model-name", "1:KV-650", "--serial-number", "2:SN-2", "--project", "20", "--table-version", "2",
        "--off", "1,3", "--silent", "2", "--slow", "2:40"});
    EXPECT_EQ(c.displays[1].values.at("BRI"), hex("3C"));
    EXPECT_EQ(c.displays[2].values.at("SER"),
        Bytes({'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M'}));
    EXPECT_EQ(c.displays[0].values.at("MNA"),
        Bytes({'K', 'V', '-', '6', '5', '0', ' ', ' ', ' ', ' ', ' ', ' ', ' '}));
    EXPECT_EQ(c.displays[1].values.at("SER"),
        Bytes({'S', 'N', '-', '2', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '}));
    for (const DisplaySetup& d : c.displays) {
        EXPECT_EQ(d.values.at("PJD"), hex("14"));
        EXPECT_EQ(d.values.at("RTV"), hex("02"));
    }
    EXPECT_FALSE(c.displays[0].powered);
    EXPECT_TRUE(c.displays[1].powered);
    EXPECT_FALSE(c.displays[2].powered);
    EXPECT_TRUE(c.displays[1].silent);
    EXPECT_EQ(c.displays[1].extraLatencyMs, 40);
}

TEST(SimArguments, EndpointsTimingAndFaults)
{
    const SimConfig c = parse({"--link", "/tmp/x/ports/COM3", "--lan", "4001", "--lan-each", "127.0.0.11:0",
        "--udp", "--udp-port", "0", "--echo", "--no-pacing", "--latency", "5", "--latency-step", "0",
        "--split", "3", "--split-pause", "7", "--slow", "15", "--garbage-every", "1", "--drop-after", "4",
        "--refuse", "--div-arrange-addressed", "--log", "/tmp/log.txt"});
    EXPECT_TRUE(c.serial);
    EXPECT_EQ(c.linkPath, "/tmp/x/ports/COM3");
    ASSERT_TRUE(c.lan);
    EXPECT_EQ(c.lan->address, "127.0.0.1");
    EXPECT_EQ(c.lan->port, 4001);
    ASSERT_TRUE(c.lanEach);
    EXPECT_EQ(c.lanEach->address, "127.0.0.11");
    EXPECT_EQ(c.udpAddress, "127.0.0.255");
    EXPECT_EQ(c.udpPort, 0);
    EXPECT_TRUE(c.faults.echo);
    EXPECT_FALSE(c.timing.pacing);
    EXPECT_EQ(c.timing.latencyMs, 5);
    EXPECT_EQ(c.timing.latencyStepMs, 0);
    EXPECT_EQ(c.faults.splitBytes, 3);
    EXPECT_EQ(c.faults.splitPauseMs, 7);
    EXPECT_EQ(c.faults.slowMs, 15);
    EXPECT_TRUE(c.faults.garbage);
    EXPECT_EQ(c.faults.garbageEvery, 1);
    EXPECT_EQ(c.faults.dropAfterFrames, 4);
    EXPECT_TRUE(c.faults.refuse);
    EXPECT_TRUE(c.arrangeOnAddressedDiv);
    EXPECT_EQ(c.logPath, "/tmp/log.txt");

    const SimConfig d = parse({"--lan", "127.0.0.5:23", "--udp", "127.0.1.255"});
    EXPECT_EQ(d.lan->address, "127.0.0.5");
    EXPECT_EQ(d.lan->port, 23);
    EXPECT_EQ(d.udpAddress, "127.0.1.255");
    EXPECT_EQ(d.udpPort, 48899);
    EXPECT_TRUE(d.timing.pacing);
}

TEST(SimArguments, RefuseWhatIsWrong)
{
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{"--bogus"}, "unknown flag --bogus"},
        {{"--displays", "0"}, "--displays: not a number from 1 to 100: 0"},
        {{"--displays", "101"}, "--displays: not a number from 1 to 100: 101"},
        {{"--displays", "2", "--ids", "1,2,3"}, "--ids lists 3 Monitor IDs for 2 displays"},
        {{"--ids", "1,x"}, "--ids: not a Monitor ID: x"},
        {{"--set", "4:BRI=3C"}, "no display at position 4"},
        {{"--set", "1:BRI=3"}, "--set needs POS:CODE=HEX"},
        {{"--set", "1:BRI=3C3C"}, "BRI takes 1 byte"},
        {{"--set", "1:SER=41"}, "SER takes 13 bytes"},
        {{"--set", "1:XYZ=00"}, "unknown command XYZ"},
        {{"--off", "0"}, "no display at position 0"},
        {{"--lan"}, "--lan needs [ADDR:]PORT"},
        {{"--lan", "--serial"}, "--lan needs [ADDR:]PORT"},
        {{"--lan", "localhost:23"}, "not an IPv4 address and port"},
        {{"--lan-each", "23"}, "--lan-each needs ADDR:PORT"},
        {{"--lan", "70000"}, "not an IPv4 address and port"},
        {{"--udp", "nowhere"}, "--udp: not an IPv4 address"},
        {{"--echo=1"}, "--echo takes no value"},
        {{"--split", "0"}, "--split: not a number from 1 to 64"},
        {{"--scenario", "/nonexistent/wall.json"}, "cannot read the scenario /nonexistent/wall.json"},
    };
    for (const auto& [arguments, error] : cases) {
        SimConfig config;
        const ArgumentsResult result = parseSimArguments(arguments, config);
        EXPECT_FALSE(result.ok) << arguments.front();
        EXPECT_NE(result.errorText.find(error), std::string::npos) << result.errorText;
    }
}

TEST(SimArguments, HelpAndParentWatch)
{
    SimConfig config;
    EXPECT_TRUE(parseSimArguments({"--serial", "--help"}, config).help);
    const ArgumentsResult watched = parseSimArguments({"--serial", "--exit-with-parent"}, config);
    EXPECT_TRUE(watched.ok);
    EXPECT_TRUE(watched.exitWithParent);
}

} // namespace
} // namespace ordalis::sim
