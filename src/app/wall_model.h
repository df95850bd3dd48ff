#pragma once

#include "app/client_socket.h"

#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace ordalis {

enum class ConnectionKind : std::uint8_t {
    Serial = 0, // COM port, displays daisy-chained
    Lan = 1, // one LAN connection to the first display
    LanEach = 2, // one LAN connection per display
    Wireless = 3, // one wireless LAN connection, handled as Lan
};

// One display on the LAN side.
struct IPixy
{
    QString address;
    QString secondText; // always empty
    std::int32_t column = 0;
    std::int32_t row = 0;
    std::int32_t monitorId = 0;
    // The connection keeper rebuilds the connection of a record with this status.
    static constexpr std::uint8_t kRebuildConnection = 255;

    std::uint8_t status = kRebuildConnection;
    std::unique_ptr<CClientSocket> connection;
};

struct IPSearch
{
    QString first;
    QString second;
};

// The last known value of every setting the adjustment pages show; not persisted.
struct ValueCache
{
    std::uint8_t brightness = 0; // BRL
    std::uint8_t contrast = 0; // CON
    std::uint8_t sharpness = 0; // SHA
    std::uint8_t scheme = 0; // SCM
    std::uint8_t saturation = 0; // SAT
    std::uint8_t hue = 0; // HUE
    std::uint8_t backlight = 0; // BRI
    std::uint8_t gamma = 0; // GAC
    std::uint8_t colourTemperature = 0; // CCT or COT
    std::uint8_t gainR = 128, gainG = 128, gainB = 128; // USR, USG, USB
    std::uint8_t offsetR = 50, offsetG = 50, offsetB = 50; // UOR, UOG, UOB
    std::uint8_t videoWall = 0; // VWS
    std::uint8_t delayMode = 0; // VDL, ATT or DID by display model
    std::uint8_t frameCompensation = 0; // VWF
    std::uint8_t matrixX = 0, matrixY = 0; // MAT
    std::uint8_t divisionX = 0, divisionY = 0; // DIV
    std::uint8_t mainInput = 0; // MIS / source buttons
    std::uint8_t calibrationMode = 0; // VWM
    std::uint16_t powerOnDelay = 0; // POD and POE
};

// What the RS232 command page keeps between visits.
struct ConsoleState
{
    std::uint8_t readMode = 0; // read or write
    std::uint8_t hexForm = 0; // ASCII or HEX command form
    std::uint8_t hexValue = 0; // decimal or hexadecimal value
    QString commandText;
    QString valueText;
    std::array<QString, 8> byteTexts;
    std::uint8_t valueByte = 0;
    QString sentLog;
    QString receivedLog;
};

} // namespace ordalis
