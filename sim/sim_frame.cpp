#include "sim/sim_frame.h"

#include "sim/command_table.h"

#include <cstdio>

namespace ordalis::sim {

namespace {

std::string target(int id)
{
    return id == 0 ? std::string("all") : std::to_string(id);
}

std::string valueText(const Bytes& value)
{
    bool printable = value.size() > 1;
    for (std::uint8_t b : value) {
        printable = printable && b >= 0x20 && b < 0x7F;
    }
    if (printable) {
        return "\"" + std::string(value.begin(), value.end()) + "\"";
    }
    return hexBytes(value);
}

} // namespace

Bytes buildReply(int monitorId, std::string_view code, const Bytes& value)
{
    Bytes out;
    out.reserve(code.size() + value.size() + 4);
    out.push_back(0x07);
    out.push_back(std::uint8_t(monitorId));
    out.push_back(0x00);
    for (char c : code) {
        out.push_back(std::uint8_t(c));
    }
    for (std::uint8_t b : value) {
        out.push_back(b);
    }
    out.push_back(0x08);
    return out;
}

std::string hexBytes(const Bytes& bytes)
{
    std::string out;
    char cell[4];
    for (std::uint8_t b : bytes) {
        std::snprintf(cell, sizeof cell, out.empty() ? "%02X" : " %02X", b);
        out += cell;
    }
    return out;
}

std::string describeBytes(const Bytes& bytes)
{
    if (bytes.size() < 7 || bytes.front() != 0x07 || bytes.back() != 0x08) {
        return "not a frame";
    }
    const std::string code(bytes.begin() + 3, bytes.begin() + 6);
    const std::string known = findCommand(code) ? "" : " (unknown code)";
    const int id = bytes[1];
    switch (bytes[2]) {
    case 0x01:
        return "read " + code + " from " + target(id) + known;
    case 0x02: {
        char value[8];
        std::snprintf(value, sizeof value, "%02X", bytes.size() > 6 ? bytes[6] : 0);
        return "write " + code + "=" + value + " to " + target(id) + known;
    }
    case 0x00:
        return "reply " + code + "=" + valueText(Bytes(bytes.begin() + 6, bytes.end() - 1)) + " from "
            + target(id);
    default:
        return "not a frame";
    }
}

} // namespace ordalis::sim
