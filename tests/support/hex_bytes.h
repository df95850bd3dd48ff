#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace ordalis::test {

using Bytes = std::vector<std::uint8_t>;

// "07 05 01 42 52 49 08" -> bytes; spaces are ignored. A character that is not a hex digit, or
// a nibble left over at the end, fails the calling test: a mistyped fixture never passes as
// some other frame.
inline Bytes hex(std::string_view text)
{
    Bytes out;
    int high = -1;
    for (char c : text) {
        if (c == ' ')
            continue;
        int d = -1;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        if (d < 0) {
            ADD_FAILURE() << "hex(\"" << text << "\"): '" << c << "' is not a hex digit";
            return out;
        }
        if (high < 0) {
            high = d;
        } else {
            out.push_back(std::uint8_t(high << 4 | d));
            high = -1;
        }
    }
    if (high >= 0)
        ADD_FAILURE() << "hex(\"" << text << "\"): odd number of hex digits";
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
