#pragma once

#include "app/settings.h"
#include "app/wall_model.h"
#include "platform/serial_port.h"
#include "platform/services.h"

#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace ordalis {

// The single application object: all state shared by the pages, as plain fields.
// main() creates one and passes it by reference; tests create their own.
class CTavrinApp
{
public:
    explicit CTavrinApp(Services services);
    CTavrinApp(const CTavrinApp&) = delete;
    CTavrinApp& operator=(const CTavrinApp&) = delete;
    ~CTavrinApp();

    Services services;

    // Persisted settings (current and loaded values).
    AppSettings settings;

    // Wall shape and connection, unpacked from "Video Wall Config".
    std::uint8_t WallColumns = 0;
    std::uint8_t WallRows = 0;
    std::uint8_t FirstDisplayAtBottom = 0;
    std::uint8_t ConnectionKind = 0; // see enum ConnectionKind

    std::vector<IPixy> DisplayList;
    std::array<QString, 100> IpTable;
    bool IpFileDirty = false;
    std::vector<IPSearch> SearchList;

    ValueCache valueCache;
    ConsoleState console;

    // Serial link state.
    bool ComPortOpen = false;
    std::unique_ptr<SerialPort> ComPortHandle;
    QString portName;
    std::uint32_t ReadTimeoutBase = 0;
    std::uint8_t LastTargetId = 0;

    // Exchange state.
    QString LastErrorText;
    bool ShowErrorBoxes = true;

    // Page coordination.
    std::uint8_t PendingPowerAction = 0;
    std::uint8_t LanLoginKind = 0;
    bool WatchdogPaused = false;
    std::int32_t CellWidth = 0;
    std::int32_t CellHeight = 0;
    QString DataFolder;
    QString LastBackupPath;
};

} // namespace ordalis
