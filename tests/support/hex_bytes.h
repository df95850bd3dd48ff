#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace ordalis::test {

using Bytes = std::vector<std::uint8_t>;

// "07 05 01 42 52 49 08" -> bytes; spaces are ignored.
inline Bytes hex(std::string_view text)
{
    Bytes out;
    int high = -1;
    for (char c : text) {
        if (c == ' ')
            continue;
        const int d = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
        if (high < 0) {
            high = d;
        } else {
            out.push_back(std::uint8_t(high << 4 | d));
            high = -1;
        }
    }
    return out;
}

// Bytes -> "07 05 01 42 52 49 08".
inline std::string toHex(const Bytes& bytes)
{
    std::string out;
    char cell[4];
    for (std::uint8_t b : bytes) {
        std::snprintf(cell, sizeof cell, out.empty() ? "%02X" : " %02X", b);
        out += cell;
    }
    return out;
}

} // namespace ordalis::test
