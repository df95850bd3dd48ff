#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace ordalis {

// One display's settings as read from it: the same 52 bytes in memory and in a back-up file.
// Every value byte is kept exactly as the display returned it.
class BackupRecord
{
public:
    static constexpr std::size_t kSize = 52;

    // Field offsets.
    static constexpr std::size_t kMonitorId = 0;
    static constexpr std::size_t kSerialNumber = 1; // 13 ASCII bytes, no terminator
    static constexpr std::size_t kSerialNumberSize = 13;
    static constexpr std::size_t kModelName = 14; // 13 ASCII bytes, no terminator
    static constexpr std::size_t kModelNameSize = 13;
    static constexpr std::size_t kMainInput = 27;
    static constexpr std::size_t kScheme = 28;
    static constexpr std::size_t kContrast = 29;
    static constexpr std::size_t kBrightness = 30;
    static constexpr std::size_t kSharpness = 31;
    static constexpr std::size_t kHue = 32;
    static constexpr std::size_t kSaturation = 33;
    static constexpr std::size_t kBacklight = 34;
    static constexpr std::size_t kGamma = 35;
    static constexpr std::size_t kCalibrationMode = 36;
    static constexpr std::size_t kColourTemperature = 37;
    static constexpr std::size_t kRedGain = 38;
    static constexpr std::size_t kGreenGain = 39;
    static constexpr std::size_t kBlueGain = 40;
    static constexpr std::size_t kRedOffset = 41;
    static constexpr std::size_t kGreenOffset = 42;
    static constexpr std::size_t kBlueOffset = 43;
    static constexpr std::size_t kVideoWall = 44;
    static constexpr std::size_t kPowerOnDelay = 45; // whole seconds
    static constexpr std::size_t kPowerOnDelayFraction = 46; // twentieths of a second
    static constexpr std::size_t kVideoDelay = 47;
    static constexpr std::size_t kFrameCompensation = 48;
    static constexpr std::size_t kMatrix = 49;
    static constexpr std::size_t kDivision = 50;
    static constexpr std::size_t kCheckByte = 51;

    std::array<std::uint8_t, kSize> bytes {};

    std::uint8_t monitorId() const { return bytes[kMonitorId]; }
    std::uint8_t checkByte() const { return bytes[kCheckByte]; }

    // The check byte of this record when it stands at a position (0-24) in a file: byte `position`
    // of the record times 51, low eight bits, complemented. The covered byte moves with the position.
    std::uint8_t checkByteFor(std::size_t position) const
    {
        const std::uint8_t covered = position < kCheckByte ? bytes[position] : 0;
        return std::uint8_t(~(covered * 51));
    }
    void fillCheckByte(std::size_t position) { bytes[kCheckByte] = checkByteFor(position); }
    bool checkByteMatches(std::size_t position) const { return checkByte() == checkByteFor(position); }

    bool operator==(const BackupRecord&) const = default;
};

} // namespace ordalis
