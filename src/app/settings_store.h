#pragma once

#include "app/wall_config.h"

class QSettings;

namespace ordalis {

class CTavrinApp;

// Where the settings live: QSettings(kSettingsOrganization, kSettingsApplication), group
// kSettingsSection. Tests pass a QSettings on a file of their own instead.
inline constexpr char kSettingsOrganization[] = "Corvane";
inline constexpr char kSettingsApplication[] = "Tavrin";
inline constexpr char kSettingsSection[] = "Standard";

// The keys, in loading order, and their defaults.
namespace SettingKey {
inline constexpr char kMonitorId[] = "Monitor ID";
inline constexpr char kComPort[] = "Com Port";
inline constexpr char kInternetVCom[] = "Internet VCom";
inline constexpr char kBaudRate[] = "Baud Rate";
inline constexpr char kProjectId[] = "Project ID";
inline constexpr char kRs232Version[] = "RS232 Version";
inline constexpr char kVideoWallConfig[] = "Video Wall Config";
inline constexpr char kIpAddress[] = "IP Address";
inline constexpr char kIpFile[] = "IP File";
inline constexpr char kLanType[] = "Lan Type";
inline constexpr char kTelnetPort[] = "Telnet Port";
inline constexpr char kAutoRefresh[] = "Auto Refresh";
inline constexpr char kDisplayModel[] = "Display Model";
} // namespace SettingKey

inline constexpr char kDefaultIpAddress[] = "192.168.1.100";
inline constexpr char kDefaultIpFile[] = "IP_Default.txt";
inline constexpr int kDefaultTelnetPort = 23;

// Loads the thirteen settings into both copies and unpacks "Video Wall Config" into the
// wall fields. A missing or unreadable value (the INI store hands back text) yields the
// default; byte-wide settings keep the low 8 bits.
void LoadSettings(CTavrinApp& app, QSettings& store);

// Writes each setting whose current value differs from the loaded one, in the shutdown
// order; "Video Wall Config" is compared packed against the loaded 32-bit value. Rewrites
// the IP settings file between "RS232 Version" and "Telnet Port" when IpFileDirty is set.
// Write failures of the store are not reported; the IP settings file reports its own.
void SaveChangedSettings(CTavrinApp& app, QSettings& store);

// The wall fields as a WallConfig, and back.
WallConfig CurrentWallConfig(const CTavrinApp& app);
void ApplyWallConfig(CTavrinApp& app, const WallConfig& config);

} // namespace ordalis
