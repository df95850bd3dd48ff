#pragma once

#include <QString>

#include <cstdint>

namespace ordalis {

// A persisted setting: the value pages read and change, and the value as loaded,
// which nothing changes. Shutdown writes only those that differ.
template<typename T> struct Setting
{
    T current {};
    T loaded {};

    bool changed() const { return current != loaded; }
    void setBoth(const T& value) { current = loaded = value; }
};

// The thirteen settings of section "Standard". "Video Wall Config" is held unpacked in the
// wall model; only its loaded 32-bit value lives here.
struct AppSettings
{
    Setting<std::uint8_t> CommandTarget; // "Monitor ID": bit 7 all displays, bits 0-6 the selected ID
    Setting<std::uint8_t> ComPort; // "Com Port"
    Setting<std::int32_t> InternetVCom; // "Internet VCom"
    Setting<std::uint8_t> BaudRate; // "Baud Rate"
    Setting<std::uint8_t> ProjectId; // "Project ID"
    Setting<std::uint8_t> Rs232Version; // "RS232 Version"
    std::uint32_t VideoWallConfigLoaded = 0; // "Video Wall Config" as loaded
    Setting<QString> IpAddress; // "IP Address"
    Setting<QString> IpFile; // "IP File"
    Setting<std::uint8_t> LanType; // "Lan Type": 0 Build-in, 1 USR-WIFIRS232
    Setting<std::int32_t> TelnetPort; // "Telnet Port"
    Setting<std::uint8_t> AutoRefresh; // "Auto Refresh"
    Setting<std::uint8_t> DisplayModel; // "Display Model": row of the model list
};

} // namespace ordalis
