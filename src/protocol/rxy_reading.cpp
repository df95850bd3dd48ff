#include "protocol/rxy_reading.h"

namespace ordalis {

std::optional<RxyReading> RxyReading::decode(std::span<const std::uint8_t> valueBytes)
{
    if (valueBytes.size() != kValueLength) {
        return std::nullopt;
    }
    RxyReading reading;
    for (std::size_t i = 0; i < reading.m_raw.size(); ++i) {
        reading.m_raw[i] = std::uint16_t((valueBytes[2 * i] << 8) | valueBytes[2 * i + 1]);
    }
    return reading;
}

} // namespace ordalis
