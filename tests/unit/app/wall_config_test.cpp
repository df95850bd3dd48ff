#include "app/wall_config.h"

#include <gtest/gtest.h>

namespace ordalis {
namespace {

struct WallConfigCase
{
    std::uint32_t stored;
    std::uint8_t rows, columns, kind, atBottom;
    std::uint32_t repacked;
};

constexpr WallConfigCase kWallConfigCases[] = {
    {4147, 3, 3, 0, 1, 4147}, // the default survives packing
    {0, 10, 10, 0, 0, 170}, // zero fields read as 10 and are written as 10
    {0x0000'0205, 5, 10, 2, 0, 0x2A5}, // only the columns are zero
    {0x0000'1341, 1, 4, 3, 1, 0x1341}, // wireless, bottom left
    {0xFFFF'FFFF, 15, 15, 3, 1, 0x13FF}, // unused bits are dropped
    {0x0000'2C12, 2, 1, 0, 0, 0x0012}, // bits 10, 11 and 13 alone are unused
};

TEST(WallConfig, UnpacksAndRepacks)
{
    for (const WallConfigCase& c : kWallConfigCases) {
        SCOPED_TRACE(testing::Message() << "stored " << c.stored);
        const WallConfig config = WallConfig::unpack(c.stored);
        EXPECT_EQ(config.rows, c.rows);
        EXPECT_EQ(config.columns, c.columns);
        EXPECT_EQ(config.connectionKind, c.kind);
        EXPECT_EQ(config.firstDisplayAtBottom, c.atBottom);
        EXPECT_EQ(config.pack(), c.repacked);
    }
}

TEST(WallConfig, PacksZeroRowsAndColumnsAsTen)
{
    WallConfig config;
    config.connectionKind = 1;
    EXPECT_EQ(config.pack(), 0x1AAu);
}

} // namespace
} // namespace ordalis
