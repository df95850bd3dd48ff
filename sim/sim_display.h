#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace ordalis::sim {

using Bytes = std::vector<std::uint8_t>;

// What one display holds: its Monitor ID, power, faults and the value of every command it knows,
// as the bytes it answers with. POW, CID and SID are kept as power and Monitor ID.
class SimDisplay
{
public:
    // Start values of a powered display; the multi-byte readings differ by chain position.
    explicit SimDisplay(int position = 1);

    int monitorId() const { return m_monitorId; }
    void setMonitorId(int id) { m_monitorId = id; }
    bool powered() const { return m_powered; }
    void setPowered(bool on) { m_powered = on; }
    bool silent() const { return m_silent; }
    void setSilent(bool silent) { m_silent = silent; }
    int extraLatencyMs() const { return m_extraLatencyMs; }
    void setExtraLatencyMs(int ms) { m_extraLatencyMs = ms; }

    // Empty when the display does not know the code.
    Bytes value(std::string_view code) const;
    void setValue(std::string_view code, Bytes value);
    // Every value, POW and CID included.
    std::map<std::string, Bytes> values() const;

    // "Reset all": settings back to their start values; Monitor ID, power and readings stay.
    void resetSettings();
    // MIS carries the main input (MIN) in bits 0-4 beside its status bits.
    void followMainInput();

    // Text padded with spaces (or cut) to the 13 bytes of SER and MNA.
    static Bytes asciiField(std::string_view text, std::size_t length);

private:
    int m_position;
    int m_monitorId = 1;
    bool m_powered = true;
    bool m_silent = false;
    int m_extraLatencyMs = 0;
    std::map<std::string, Bytes, std::less<>> m_values;
};

} // namespace ordalis::sim
