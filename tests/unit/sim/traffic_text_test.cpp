#include "sim/sim_frame.h"
#include "sim/traffic_log.h"
#include "tests/support/hex_bytes.h"

#include <gtest/gtest.h>

namespace ordalis::sim {
namespace {

using ordalis::test::hex;

TEST(TrafficText, DescribesWhatWentOverTheLine)
{
    const std::pair<const char*, const char*> cases[] = {
        {"07 05 01 42 52 49 08", "read BRI from 5"},
        {"07 00 02 50 4F 57 01 08", "write POW=01 to all"},
        {"07 05 00 42 52 49 3C 08", "reply BRI=3C from 5"},
        {"07 02 00 53 45 52 57 53 49 4D 30 30 30 30 30 30 30 30 32 08", "reply SER=\"WSIM000000002\" from 2"},
        {"07 01 00 45 52 52 34 12 00 00 08", "reply ERR=34 12 00 00 from 1"},
        {"07 01 01 58 59 5A 08", "read XYZ from 1 (unknown code)"},
        {"07 01 03 50 4F 57 08", "not a frame"},
        {"FF 55 AA", "not a frame"},
    };
    for (const auto& [bytes, text] : cases) {
        EXPECT_EQ(describeBytes(hex(bytes)), text) << bytes;
    }
}

TEST(TrafficText, OneLinePerRecord)
{
    TrafficRecord record;
    record.ms = 12.3456;
    record.endpoint = "serial";
    record.direction = "d5";
    record.bytes = hex("07 05 00 42 52 49 3C 08");
    record.text = "reply BRI=3C from 5";
    EXPECT_EQ(
        TrafficLog::formatLine(record), "12.346 serial d5 07 05 00 42 52 49 3C 08 | reply BRI=3C from 5");
    record.direction = "event";
    record.bytes.clear();
    record.text = "connected from 127.0.0.1:5000";
    EXPECT_EQ(TrafficLog::formatLine(record), "12.346 serial event | connected from 127.0.0.1:5000");
}

} // namespace
} // namespace ordalis::sim
