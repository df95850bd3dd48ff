#include "app/settings_store.h"

#include "app/ctavrin_app.h"
#include "app/ip_settings.h"

#include <QSettings>

#include <limits>
#include <optional>

namespace ordalis {

namespace {

// A stored integer as its 32 bits. The INI store gives text, the registry an integer;
// either way a value that is not a whole number within 32 bits counts as missing.
std::optional<std::uint32_t> storedBits(const QSettings& store, const char* key)
{
    const QVariant value = store.value(key);
    if (!value.isValid())
        return std::nullopt;
    bool ok = false;
    const qlonglong number = value.toLongLong(&ok);
    if (!ok || number < std::numeric_limits<std::int32_t>::min()
        || number > std::numeric_limits<std::uint32_t>::max())
        return std::nullopt;
    return static_cast<std::uint32_t>(number);
}

void loadByte(const QSettings& store, const char* key, std::uint8_t fallback, Setting<std::uint8_t>& setting)
{
    const std::optional<std::uint32_t> bits = storedBits(store, key);
    setting.setBoth(bits ? static_cast<std::uint8_t>(*bits & 0xFF) : fallback);
}

void loadInt(const QSettings& store, const char* key, std::int32_t fallback, Setting<std::int32_t>& setting)
{
    const std::optional<std::uint32_t> bits = storedBits(store, key);
    setting.setBoth(bits ? static_cast<std::int32_t>(*bits) : fallback);
}

void loadText(const QSettings& store, const char* key, const char* fallback, Setting<QString>& setting)
{
    setting.setBoth(store.value(key, QString::fromLatin1(fallback)).toString());
}

template<typename T> void saveIfChanged(QSettings& store, const char* key, const Setting<T>& setting)
{
    if (!setting.changed())
        return;
    if constexpr (std::is_same_v<T, QString>)
        store.setValue(key, setting.current);
    else
        store.setValue(key, static_cast<int>(setting.current));
}

} // namespace

WallConfig CurrentWallConfig(const CTavrinApp& app)
{
    WallConfig config;
    config.rows = app.WallRows;
    config.columns = app.WallColumns;
    config.connectionKind = app.ConnectionKind;
    config.firstDisplayAtBottom = app.FirstDisplayAtBottom;
    return config;
}

void ApplyWallConfig(CTavrinApp& app, const WallConfig& config)
{
    app.WallRows = config.rows;
    app.WallColumns = config.columns;
    app.ConnectionKind = config.connectionKind;
    app.FirstDisplayAtBottom = config.firstDisplayAtBottom;
}

void LoadSettings(CTavrinApp& app, QSettings& store)
{
    AppSettings& s = app.settings;
    store.beginGroup(kSettingsSection);
    loadByte(store, SettingKey::kMonitorId, 0, s.CommandTarget);
    loadByte(store, SettingKey::kComPort, 0, s.ComPort);
    loadInt(store, SettingKey::kInternetVCom, 0, s.InternetVCom);
    loadByte(store, SettingKey::kBaudRate, 0, s.BaudRate);
    loadByte(store, SettingKey::kProjectId, 0, s.ProjectId);
    loadByte(store, SettingKey::kRs232Version, 0, s.Rs232Version);
    s.VideoWallConfigLoaded = storedBits(store, SettingKey::kVideoWallConfig).value_or(WallConfig::kDefault);
    loadText(store, SettingKey::kIpAddress, kDefaultIpAddress, s.IpAddress);
    loadText(store, SettingKey::kIpFile, kDefaultIpFile, s.IpFile);
    loadByte(store, SettingKey::kLanType, 0, s.LanType);
    loadInt(store, SettingKey::kTelnetPort, kDefaultTelnetPort, s.TelnetPort);
    loadByte(store, SettingKey::kAutoRefresh, 0, s.AutoRefresh);
    loadByte(store, SettingKey::kDisplayModel, 0, s.DisplayModel);
    store.endGroup();

    ApplyWallConfig(app, WallConfig::unpack(s.VideoWallConfigLoaded));
}

void SaveChangedSettings(CTavrinApp& app, QSettings& store)
{
    const AppSettings& s = app.settings;
    store.beginGroup(kSettingsSection);
    saveIfChanged(store, SettingKey::kMonitorId, s.CommandTarget);
    saveIfChanged(store, SettingKey::kComPort, s.ComPort);
    saveIfChanged(store, SettingKey::kInternetVCom, s.InternetVCom);
    saveIfChanged(store, SettingKey::kBaudRate, s.BaudRate);
    saveIfChanged(store, SettingKey::kProjectId, s.ProjectId);
    const std::uint32_t packed = CurrentWallConfig(app).pack();
    if (packed != s.VideoWallConfigLoaded)
        store.setValue(SettingKey::kVideoWallConfig, static_cast<int>(packed));
    saveIfChanged(store, SettingKey::kIpAddress, s.IpAddress);
    saveIfChanged(store, SettingKey::kIpFile, s.IpFile);
    saveIfChanged(store, SettingKey::kLanType, s.LanType);
    saveIfChanged(store, SettingKey::kRs232Version, s.Rs232Version);
    if (app.IpFileDirty && SaveIpSettings(app))
        app.IpFileDirty = false;
    saveIfChanged(store, SettingKey::kTelnetPort, s.TelnetPort);
    saveIfChanged(store, SettingKey::kAutoRefresh, s.AutoRefresh);
    saveIfChanged(store, SettingKey::kDisplayModel, s.DisplayModel);
    store.endGroup();
    store.sync();
}

} // namespace ordalis
