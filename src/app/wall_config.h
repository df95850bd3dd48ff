#pragma once

#include <cstdint>

namespace ordalis {

// The packed "Video Wall Config" value: rows in bits 0-3, columns in bits 4-7 (a stored 0
// reads as 10), connection kind in bits 8-9, first display at the bottom left in bit 12.
struct WallConfig
{
    static constexpr std::uint32_t kDefault = 4147; // 3 x 3, serial, first display bottom left

    std::uint8_t rows = 0;
    std::uint8_t columns = 0;
    std::uint8_t connectionKind = 0;
    std::uint8_t firstDisplayAtBottom = 0;

    // Bits outside the four fields are ignored.
    static constexpr WallConfig unpack(std::uint32_t packed)
    {
        const auto field
            = [](std::uint32_t nibble) { return static_cast<std::uint8_t>(nibble == 0 ? 10 : nibble); };
        WallConfig config;
        config.rows = field(packed & 0x0F);
        config.columns = field((packed >> 4) & 0x0F);
        config.connectionKind = static_cast<std::uint8_t>((packed >> 8) & 0x03);
        config.firstDisplayAtBottom = static_cast<std::uint8_t>((packed >> 12) & 0x01);
        return config;
    }

    // Rows and columns of 0 are written as 10; every field keeps only its own bits, so
    // the unused bits are always 0.
    constexpr std::uint32_t pack() const
    {
        const auto field
            = [](std::uint8_t value) -> std::uint32_t { return value == 0 ? 10u : value & 0x0Fu; };
        return field(rows) | field(columns) << 4 | (connectionKind & 0x03u) << 8
            | (firstDisplayAtBottom & 0x01u) << 12;
    }
};

} // namespace ordalis
