#include "sim/sim_config.h"

#include "sim/command_table.h"

namespace ordalis::sim {

SimConfig SimConfig::chain(int count)
{
    SimConfig config;
    for (int position = 1; position <= count; ++position) {
        DisplaySetup setup;
        setup.monitorId = position;
        config.displays.push_back(setup);
    }
    return config;
}

std::optional<Bytes> parseHexBytes(std::string_view text)
{
    auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') {
            return c - '0';
        }
        if (c >= 'a' && c <= 'f') {
            return c - 'a' + 10;
        }
        if (c >= 'A' && c <= 'F') {
            return c - 'A' + 10;
        }
        return -1;
    };
    Bytes out;
    int high = -1;
    for (char c : text) {
        if (c == ' ') {
            if (high >= 0) {
                return std::nullopt;
            }
            continue;
        }
        const int d = digit(c);
        if (d < 0) {
            return std::nullopt;
        }
        if (high < 0) {
            high = d;
        } else {
            out.push_back(std::uint8_t(high << 4 | d));
            high = -1;
        }
    }
    if (high >= 0 || out.empty()) {
        return std::nullopt;
    }
    return out;
}

std::string checkValue(const std::string& code, const Bytes& value)
{
    const CommandInfo* info = findCommand(code);
    if (!info) {
        return "unknown command " + code;
    }
    if (value.size() != info->length) {
        return code + " takes " + std::to_string(info->length) + (info->length == 1 ? " byte" : " bytes");
    }
    return {};
}

} // namespace ordalis::sim
