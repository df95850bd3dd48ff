#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace ordalis {

// The luminance and chromaticity reading of one display: twelve 16-bit numbers, most significant
// byte first, in the order RY Rx Ry GY Gx Gy BY Bx By WY Wx Wy, then one byte nobody interprets.
class RxyReading
{
public:
    enum Primary : std::uint8_t { Red = 0, Green = 1, Blue = 2, White = 3 };

    static constexpr std::size_t kValueLength = 25;

    // From the 25 value bytes of the reply (bytes 6-30 of the frame); any other length gives nothing.
    static std::optional<RxyReading> decode(std::span<const std::uint8_t> valueBytes);

    // The numbers as sent, in the order above.
    const std::array<std::uint16_t, 12>& raw() const { return m_raw; }
    std::uint16_t rawLuminance(Primary p) const { return m_raw[3 * p]; }
    std::uint16_t rawX(Primary p) const { return m_raw[3 * p + 1]; }
    std::uint16_t rawY(Primary p) const { return m_raw[3 * p + 2]; }

    // Luminance comes in sixteenths of a unit, chromaticity in ten-thousandths.
    double luminance(Primary p) const { return rawLuminance(p) * 0.0625; }
    double x(Primary p) const { return rawX(p) / 10000.0; }
    double y(Primary p) const { return rawY(p) / 10000.0; }

private:
    std::array<std::uint16_t, 12> m_raw {};
};

} // namespace ordalis
