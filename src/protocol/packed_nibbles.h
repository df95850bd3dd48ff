#pragma once

#include <cstdint>

namespace ordalis {

// Two 4-bit numbers in one value byte (MAT, DIV): X in bits 7-4, Y in bits 3-0.
struct PackedNibbles
{
    std::uint8_t x = 0;
    std::uint8_t y = 0;

    // Each number keeps only its low four bits, so an out-of-range X can never spill into Y.
    constexpr std::uint8_t pack() const { return std::uint8_t(((x & 0x0F) << 4) | (y & 0x0F)); }
    static constexpr PackedNibbles unpack(std::uint8_t value)
    {
        return {std::uint8_t(value >> 4), std::uint8_t(value & 0x0F)};
    }

    constexpr bool operator==(const PackedNibbles&) const = default;
};

} // namespace ordalis
