#include "sim/scenario_file.h"
#include "tests/support/hex_bytes.h"

#include <gtest/gtest.h>

namespace ordalis::sim {
namespace {

using ordalis::test::hex;

TEST(Scenario, ReadsTheWallTheDisplaysAndTheFaults)
{
    const std::string json = R"({
        "wall": {"columns": 3, "rows": 2, "arranged": true, "firstDisplay": "bottom-left"},
        "displays": [
            {"id": 1, "modelName": "KV-650E", "serialNumber": "A1", "project": 21, "tableVersion": 3},
            {"id": 1, "power": false, "values": {"BRI": 60, "ERR": "34 12 00 00", "DIV": "21"}},
            {"silent": true, "slowMs": 25}
        ],
        "faults": {"echo": true, "split": 4, "splitPauseMs": 5, "slowMs": 2, "garbage": true,
                   "garbageEvery": 3, "dropAfter": 9, "refuse": false, "silent": [5], "off": [6]},
        "timing": {"latencyMs": 1, "latencyStepMs": 2, "pacing": false}
    })";
    SimConfig c;
    std::string error;
    ASSERT_TRUE(loadScenarioText(json, c, error)) << error;
    ASSERT_EQ(c.displays.size(), 6u);
    EXPECT_EQ(c.displays[0].monitorId, 1);
    EXPECT_EQ(c.displays[0].values.at("MNA"),
        Bytes({'K', 'V', '-', '6', '5', '0', 'E', ' ', ' ', ' ', ' ', ' ', ' '}));
    EXPECT_EQ(c.displays[0].values.at("SER"),
        Bytes({'A', '1', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '}));
    EXPECT_EQ(c.displays[0].values.at("PJD"), hex("15"));
    EXPECT_EQ(c.displays[0].values.at("RTV"), hex("03"));
    EXPECT_EQ(c.displays[1].monitorId, 1);
    EXPECT_FALSE(c.displays[1].powered);
    EXPECT_EQ(c.displays[1].values.at("BRI"), hex("3C"));
    EXPECT_EQ(c.displays[1].values.at("ERR"), hex("34120000"));
    // Displays the list does not name are numbered by their place on the chain.
    EXPECT_EQ(c.displays[2].monitorId, 3);
    EXPECT_TRUE(c.displays[2].silent);
    EXPECT_EQ(c.displays[2].extraLatencyMs, 25);
    EXPECT_EQ(c.displays[5].monitorId, 6);
    EXPECT_TRUE(c.displays[4].silent);
    EXPECT_FALSE(c.displays[5].powered);
    ASSERT_TRUE(c.arranged);
    EXPECT_EQ(c.arranged->columns, 3);
    EXPECT_EQ(c.arranged->rows, 2);
    EXPECT_TRUE(c.arranged->fromBottom);
    EXPECT_TRUE(c.faults.echo);
    EXPECT_EQ(c.faults.splitBytes, 4);
    EXPECT_EQ(c.faults.splitPauseMs, 5);
    EXPECT_EQ(c.faults.slowMs, 2);
    EXPECT_TRUE(c.faults.garbage);
    EXPECT_EQ(c.faults.garbageEvery, 3);
    EXPECT_EQ(c.faults.dropAfterFrames, 9);
    EXPECT_EQ(c.timing.latencyMs, 1);
    EXPECT_EQ(c.timing.latencyStepMs, 2);
    EXPECT_FALSE(c.timing.pacing);
}

TEST(Scenario, NamesTheFirstThingThatIsWrong)
{
    const std::pair<const char*, const char*> cases[] = {
        {"[1, 2]", "scenario: not a JSON object"},
        {"{\"wall\": {\"columns\": 3}", "scenario: not a JSON object ("},
        {R"({"walls": {}})", "scenario: unknown key \"walls\""},
        {R"({"wall": {"columns": 3}})", "wall: needs columns and rows"},
        {R"({"wall": {"columns": 16, "rows": 1}})", "wall.columns: not a whole number from 1 to 15"},
        {R"({"wall": {"columns": 2, "rows": 2, "firstDisplay": "top-right"}})", "wall.firstDisplay"},
        {R"({"wall": {"columns": 11, "rows": 10}})", "a chain has 1 to 100 displays, not 110"},
        {R"({"displays": {"id": 1}})", "displays: not a list"},
        {R"({"displays": [{"id": 1.5}]})", "displays[0].id: not a whole number from 0 to 255"},
        {R"({"displays": [{}, {"colour": 1}]})", "displays[1]: unknown key \"colour\""},
        {R"({"displays": [{"values": {"BRI": 256}}]})", "displays[0].values.BRI: not hex bytes or a number"},
        {R"({"displays": [{"values": {"SER": "41"}}]})", "displays[0].values.SER: SER takes 13 bytes"},
        {R"({"displays": [{"values": {"QQQ": 1}}]})", "displays[0].values.QQQ: unknown command QQQ"},
        {R"({"displays": [{"values": [1]}]})", "displays[0].values: not an object"},
        {R"({"displays": [{"power": 1}]})", "displays[0].power: not true or false"},
        {R"({"displays": [{}], "faults": {"off": [2]}})", "faults.off: not a chain position from 1 to 1"},
        {R"({"displays": [{}], "faults": {"echo": true, "wobble": 1}})", "faults: unknown key \"wobble\""},
        {R"({"displays": [{}], "timing": 3})", "timing: not an object"},
    };
    for (const auto& [json, wanted] : cases) {
        SimConfig c = SimConfig::chain(2);
        std::string error;
        EXPECT_FALSE(loadScenarioText(json, c, error)) << json;
        EXPECT_NE(error.find(wanted), std::string::npos) << json << " -> " << error;
        EXPECT_EQ(c.displays.size(), 2u) << "a failed read leaves the configuration alone";
    }
}

} // namespace
} // namespace ordalis::sim
