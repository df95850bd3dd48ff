#include "sim/sim_display.h"

#include "sim/command_table.h"

#include <cstdio>

namespace ordalis::sim {

namespace {

Bytes littleEndian32(std::uint32_t v)
{
    return {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)};
}

void appendBigEndian16(Bytes& out, std::uint16_t v)
{
    out.push_back(std::uint8_t(v >> 8));
    out.push_back(std::uint8_t(v));
}

// Luminance in sixteenths, chromaticity in ten-thousandths: a D65 white over the usual primaries.
Bytes startChromaticity()
{
    constexpr std::uint16_t kFields[] = {800, 6400, 3300, 2400, 3000, 6000, 320, 1500, 600, 3520, 3127, 3290};
    Bytes out;
    for (std::uint16_t v : kFields) {
        appendBigEndian16(out, v);
    }
    out.push_back(0);
    return out;
}

bool isSetting(const CommandInfo& info)
{
    return info.access != Access::ReadOnly && info.code != "POW" && info.code != "CID" && info.code != "SID";
}

} // namespace

SimDisplay::SimDisplay(int position) : m_position(position), m_monitorId(position)
{
    for (std::size_t i = 0; i < commandCount(); ++i) {
        const CommandInfo& info = commandAt(i);
        if (info.length == 1) {
            m_values[std::string(info.code)] = Bytes {info.start};
        }
    }
    char serial[16];
    std::snprintf(serial, sizeof serial, "WSIM%09d", position);
    m_values["SER"] = asciiField(serial, 13);
    m_values["MNA"] = asciiField("KV-870", 13);
    m_values["GVE"] = asciiField("V1.023", 6);
    m_values["RXY"] = startChromaticity();
    m_values["ERR"] = Bytes(4, 0);
    Bytes highest = littleEndian32(45);
    const Bytes when = littleEndian32(std::uint32_t(600 + position));
    highest.insert(highest.end(), when.begin(), when.end());
    m_values["LMT"] = highest;
    m_values["OTT"] = littleEndian32(std::uint32_t(12000 + 60 * position));
    m_values["OTS"] = littleEndian32(std::uint32_t(9000 + 60 * position));
}

Bytes SimDisplay::value(std::string_view code) const
{
    if (code == "POW") {
        return {std::uint8_t(m_powered ? 1 : 0)};
    }
    if (code == "CID" || code == "SID") {
        return {std::uint8_t(m_monitorId)};
    }
    const auto it = m_values.find(code);
    return it == m_values.end() ? Bytes {} : it->second;
}

void SimDisplay::setValue(std::string_view code, Bytes value)
{
    if (code == "POW") {
        m_powered = !value.empty() && value.front() != 0;
    } else if (code == "CID") {
        m_monitorId = value.empty() ? m_monitorId : value.front();
    } else {
        m_values[std::string(code)] = std::move(value);
    }
}

std::map<std::string, Bytes> SimDisplay::values() const
{
    std::map<std::string, Bytes> out(m_values.begin(), m_values.end());
    out["POW"] = value("POW");
    out["CID"] = value("CID");
    return out;
}

void SimDisplay::resetSettings()
{
    for (std::size_t i = 0; i < commandCount(); ++i) {
        const CommandInfo& info = commandAt(i);
        if (info.length == 1 && isSetting(info)) {
            m_values[std::string(info.code)] = Bytes {info.start};
        }
    }
}

void SimDisplay::followMainInput()
{
    const Bytes input = value("MIN");
    const Bytes status = value("MIS");
    if (!input.empty() && !status.empty()) {
        setValue("MIS", {std::uint8_t((status.front() & 0xE0) | (input.front() & 0x1F))});
    }
}

Bytes SimDisplay::asciiField(std::string_view text, std::size_t length)
{
    Bytes out(text.begin(), text.begin() + std::min(text.size(), length));
    out.resize(length, ' ');
    return out;
}

} // namespace ordalis::sim
