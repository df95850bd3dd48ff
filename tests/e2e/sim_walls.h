#pragma once

// Walls of simulated displays, and what an arranged wall must hold, for the end-to-end tests.
#include "sim/sim_config.h"

#include <cstdint>

namespace ordalis::test {

// Displays that all carry Monitor ID 1, as they come from the factory.
inline sim::SimConfig unnumbered(int count)
{
    sim::SimConfig config = sim::SimConfig::chain(count);
    for (sim::DisplaySetup& display : config.displays)
        display.monitorId = 1;
    return config;
}

// Division (x << 4 | y) of the display with this Monitor ID on a serpentine wall.
inline int division(int monitorId, int columns, int rows, bool fromBottom)
{
    const int a = monitorId - 1;
    const int k = a / columns;
    const int p = a % columns;
    const int x = k % 2 == 0 ? p + 1 : columns - p;
    const int y = fromBottom ? rows - k : k + 1;
    return x << 4 | y;
}

// A 13-byte text value (SER, MNA), padded with spaces.
inline sim::Bytes text13(const char* text)
{
    sim::Bytes bytes(13, ' ');
    for (std::size_t i = 0; text[i] && i < bytes.size(); ++i)
        bytes[i] = std::uint8_t(text[i]);
    return bytes;
}

} // namespace ordalis::test
