#include "protocol/reply_checks.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ordalis {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Check = std::function<bool(std::span<const std::uint8_t>)>;

struct AcceptCase
{
    std::string name;
    Check check;
    Bytes frame;
    bool accepted;
};

void PrintTo(const AcceptCase& c, std::ostream* os)
{
    *os << c.name;
}

class ReplyAcceptance : public testing::TestWithParam<AcceptCase>
{
};

TEST_P(ReplyAcceptance, Decides)
{
    EXPECT_EQ(GetParam().check(GetParam().frame), GetParam().accepted);
}

const Check writeAck = [](std::span<const std::uint8_t> f) { return isWriteAcknowledgement(f); };
const Check lanAckBrl = [](std::span<const std::uint8_t> f) { return isDisplayLanAcknowledgement(f, "BRL"); };
const Check readFrom5 = [](std::span<const std::uint8_t> f) { return isSingleReadReply(f, 5); };
const Check allPow = [](std::span<const std::uint8_t> f) { return isReadAllReply(f, "POW", 1); };
const Check allSer = [](std::span<const std::uint8_t> f) { return isReadAllReply(f, "SER", 13); };

Bytes serReply(std::uint8_t kind, std::uint8_t firstLetter, std::uint8_t end)
{
    Bytes f = {0x07, 0x03, kind, firstLetter, 0x45, 0x52};
    const std::string serial = "AB12345678901";
    f.insert(f.end(), serial.begin(), serial.end());
    f.push_back(end);
    return f;
}

INSTANTIATE_TEST_SUITE_P(WriteAcknowledgement, ReplyAcceptance,
    testing::Values(AcceptCase {"reply", writeAck, {0x07, 0x05, 0x00, 0x42, 0x52, 0x4C, 0x3C, 0x08}, true},
        AcceptCase {"other code, value and end byte", writeAck,
            {0x07, 0x05, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, true},
        AcceptCase {"id 100", writeAck, {0x07, 0x64, 0x00, 0x42, 0x52, 0x4C, 0x3C, 0x08}, true},
        AcceptCase {"id 101", writeAck, {0x07, 0x65, 0x00, 0x42, 0x52, 0x4C, 0x3C, 0x08}, false},
        AcceptCase {"bad start", writeAck, {0x06, 0x05, 0x00, 0x42, 0x52, 0x4C, 0x3C, 0x08}, false},
        AcceptCase {"echoed write", writeAck, {0x07, 0x05, 0x02, 0x42, 0x52, 0x4C, 0x3C, 0x08}, false},
        AcceptCase {"seven bytes", writeAck, {0x07, 0x05, 0x00, 0x42, 0x52, 0x4C, 0x08}, false},
        AcceptCase {"nine bytes", writeAck, {0x07, 0x05, 0x00, 0x42, 0x52, 0x4C, 0x3C, 0x08, 0x08}, false}),
    [](const auto& row) { return std::to_string(row.index); });

INSTANTIATE_TEST_SUITE_P(DisplayLanAcknowledgement, ReplyAcceptance,
    testing::Values(AcceptCase {"reply", lanAckBrl, {0x07, 0x05, 0x00, 0x42, 0x52, 0x4C, 0x32, 0x08}, true},
        AcceptCase {"any id and kind", lanAckBrl, {0x07, 0xC8, 0x02, 0x42, 0x52, 0x4C, 0x32, 0x08}, true},
        AcceptCase {"bad start", lanAckBrl, {0x06, 0x05, 0x00, 0x42, 0x52, 0x4C, 0x32, 0x08}, false},
        AcceptCase {"bad end", lanAckBrl, {0x07, 0x05, 0x00, 0x42, 0x52, 0x4C, 0x32, 0x09}, false},
        AcceptCase {"first letter", lanAckBrl, {0x07, 0x05, 0x00, 0x43, 0x52, 0x4C, 0x32, 0x08}, false},
        AcceptCase {"second letter", lanAckBrl, {0x07, 0x05, 0x00, 0x42, 0x53, 0x4C, 0x32, 0x08}, false},
        AcceptCase {"third letter (BRI)", lanAckBrl, {0x07, 0x05, 0x00, 0x42, 0x52, 0x49, 0x32, 0x08}, false},
        AcceptCase {"seven bytes", lanAckBrl, {0x07, 0x05, 0x00, 0x42, 0x52, 0x4C, 0x08}, false}),
    [](const auto& row) { return std::to_string(row.index); });

INSTANTIATE_TEST_SUITE_P(SingleReadReply, ReplyAcceptance,
    testing::Values(AcceptCase {"reply", readFrom5, {0x07, 0x05, 0x00, 0x42, 0x52, 0x49, 0x3C, 0x08}, true},
        AcceptCase {
            "other code and end byte", readFrom5, {0x07, 0x05, 0x00, 0x50, 0x4F, 0x57, 0x3C, 0x00}, true},
        AcceptCase {"other display", readFrom5, {0x07, 0x06, 0x00, 0x42, 0x52, 0x49, 0x3C, 0x08}, false},
        AcceptCase {"echoed read", readFrom5, {0x07, 0x05, 0x01, 0x42, 0x52, 0x49, 0x08, 0x08}, false},
        AcceptCase {"bad start", readFrom5, {0x00, 0x05, 0x00, 0x42, 0x52, 0x49, 0x3C, 0x08}, false},
        AcceptCase {"seven bytes", readFrom5, {0x07, 0x05, 0x00, 0x42, 0x52, 0x49, 0x3C}, false}),
    [](const auto& row) { return std::to_string(row.index); });

INSTANTIATE_TEST_SUITE_P(ReadAllReply, ReplyAcceptance,
    testing::Values(
        AcceptCase {"power reply", allPow, {0x07, 0x03, 0x00, 0x50, 0x4F, 0x57, 0x01, 0x08}, true},
        AcceptCase {
            "only the first letter counts", allPow, {0x07, 0x03, 0x00, 0x50, 0x00, 0x00, 0x01, 0x08}, true},
        AcceptCase {"first letter", allPow, {0x07, 0x03, 0x00, 0x51, 0x4F, 0x57, 0x01, 0x08}, false},
        AcceptCase {"end byte", allPow, {0x07, 0x03, 0x00, 0x50, 0x4F, 0x57, 0x01, 0x07}, false},
        AcceptCase {"kind", allPow, {0x07, 0x03, 0x01, 0x50, 0x4F, 0x57, 0x01, 0x08}, false},
        AcceptCase {"start", allPow, {0x08, 0x03, 0x00, 0x50, 0x4F, 0x57, 0x01, 0x08}, false},
        AcceptCase {"serial number reply", allSer, serReply(0x00, 0x53, 0x08), true},
        AcceptCase {"serial number end byte", allSer, serReply(0x00, 0x53, 0x00), false},
        AcceptCase {"serial number kind", allSer, serReply(0x02, 0x53, 0x08), false},
        AcceptCase {"serial number code", allSer, serReply(0x00, 0x4D, 0x08), false},
        AcceptCase {"one-byte reply to a long read", allSer, {0x07, 0x03, 0x00, 0x53, 0x45, 0x52, 0x01, 0x08},
            false}),
    [](const auto& row) { return std::to_string(row.index); });

} // namespace
} // namespace ordalis
