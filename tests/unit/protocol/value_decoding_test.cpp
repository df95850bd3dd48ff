#include "protocol/packed_nibbles.h"
#include "protocol/rxy_reading.h"

#include <gtest/gtest.h>

#include <vector>

namespace ordalis {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A whole RXY reply of 32 bytes: the header, 25 value bytes, the end byte.
Bytes rxyReply()
{
    Bytes reply = {0x07, 0x01, 0x00, 0x52, 0x58, 0x59};
    const Bytes values = {0x03, 0x20, 0x0C, 0x37, 0x0A, 0x50, // RY 800, Rx 3127, Ry 2640
        0x00, 0x01, 0x27, 0x10, 0x00, 0x00, // GY 1, Gx 10000, Gy 0
        0xFF, 0xFF, 0x01, 0x00, 0x00, 0xFF, // BY 65535, Bx 256, By 255
        0x10, 0x00, 0x0C, 0x38, 0x0C, 0xDA, // WY 4096, Wx 3128, Wy 3290
        0x5A};
    reply.insert(reply.end(), values.begin(), values.end());
    reply.push_back(0x08);
    return reply;
}

TEST(RxyReading, DecodesBigEndianNumbersAndScales)
{
    const Bytes reply = rxyReply();
    ASSERT_EQ(reply.size(), 32u);
    const auto reading = RxyReading::decode(std::span(reply).subspan(6, RxyReading::kValueLength));
    ASSERT_TRUE(reading.has_value());

    EXPECT_EQ(reading->raw(),
        (std::array<std::uint16_t, 12> {800, 3127, 2640, 1, 10000, 0, 65535, 256, 255, 4096, 3128, 3290}));
    EXPECT_DOUBLE_EQ(reading->luminance(RxyReading::Red), 50.0);
    EXPECT_DOUBLE_EQ(reading->x(RxyReading::Red), 0.3127);
    EXPECT_DOUBLE_EQ(reading->y(RxyReading::Red), 0.2640);
    EXPECT_DOUBLE_EQ(reading->luminance(RxyReading::Green), 0.0625);
    EXPECT_DOUBLE_EQ(reading->x(RxyReading::Green), 1.0);
    EXPECT_DOUBLE_EQ(reading->luminance(RxyReading::Blue), 4095.9375);
    EXPECT_EQ(reading->rawX(RxyReading::Blue), 256);
    EXPECT_EQ(reading->rawY(RxyReading::Blue), 255);
    EXPECT_DOUBLE_EQ(reading->luminance(RxyReading::White), 256.0);
    EXPECT_DOUBLE_EQ(reading->y(RxyReading::White), 0.3290);
}

TEST(RxyReading, RefusesOtherLengths)
{
    const Bytes reply = rxyReply();
    EXPECT_FALSE(RxyReading::decode(std::span(reply).subspan(6, 24)).has_value());
    EXPECT_FALSE(RxyReading::decode(std::span(reply).subspan(6, 26)).has_value());
    EXPECT_FALSE(RxyReading::decode({}).has_value());
}

struct NibbleCase
{
    std::uint8_t x;
    std::uint8_t y;
    std::uint8_t byte;
};

TEST(PackedNibbles, XHighYLow)
{
    const NibbleCase cases[]
        = {{3, 2, 0x32}, {1, 1, 0x11}, {0, 0, 0x00}, {15, 15, 0xFF}, {10, 0, 0xA0}, {0, 10, 0x0A}};
    for (const auto& c : cases) {
        EXPECT_EQ((PackedNibbles {c.x, c.y}.pack()), c.byte);
        EXPECT_EQ(PackedNibbles::unpack(c.byte), (PackedNibbles {c.x, c.y}));
    }
}

TEST(PackedNibbles, OutOfRangeNumberDoesNotSpillIntoTheOther)
{
    EXPECT_EQ((PackedNibbles {0x13, 0x02}.pack()), 0x32);
    EXPECT_EQ((PackedNibbles {0x03, 0x12}.pack()), 0x32);
}

} // namespace
} // namespace ordalis
