#pragma once

#include "backup/backup_record.h"
#include "protocol/command_code.h"

#include <array>
#include <cstdint>

namespace ordalis {

// A record field that is read from the displays and written back with one command code.
struct BackupField
{
    std::uint8_t offset;
    std::uint8_t size;
    CommandCode code;
};

// Every field with a command code, in record order: the Monitor ID (from the power read) and the
// check byte have none.
inline constexpr std::array<BackupField, 26> kBackupFields = {{
    {BackupRecord::kSerialNumber, BackupRecord::kSerialNumberSize, "SER"},
    {BackupRecord::kModelName, BackupRecord::kModelNameSize, "MNA"},
    {BackupRecord::kMainInput, 1, "MIN"},
    {BackupRecord::kScheme, 1, "SCM"},
    {BackupRecord::kContrast, 1, "CON"},
    {BackupRecord::kBrightness, 1, "BRL"},
    {BackupRecord::kSharpness, 1, "SHA"},
    {BackupRecord::kHue, 1, "HUE"},
    {BackupRecord::kSaturation, 1, "SAT"},
    {BackupRecord::kBacklight, 1, "BRI"},
    {BackupRecord::kGamma, 1, "GAC"},
    {BackupRecord::kCalibrationMode, 1, "VWM"},
    {BackupRecord::kColourTemperature, 1, "CCT"},
    {BackupRecord::kRedGain, 1, "USR"},
    {BackupRecord::kGreenGain, 1, "USG"},
    {BackupRecord::kBlueGain, 1, "USB"},
    {BackupRecord::kRedOffset, 1, "UOR"},
    {BackupRecord::kGreenOffset, 1, "UOG"},
    {BackupRecord::kBlueOffset, 1, "UOB"},
    {BackupRecord::kVideoWall, 1, "VWS"},
    {BackupRecord::kPowerOnDelay, 1, "POD"},
    {BackupRecord::kPowerOnDelayFraction, 1, "POE"},
    {BackupRecord::kVideoDelay, 1, "VDL"},
    {BackupRecord::kFrameCompensation, 1, "VWF"},
    {BackupRecord::kMatrix, 1, "MAT"},
    {BackupRecord::kDivision, 1, "DIV"},
}};

// The field a command code fills, or nullptr.
constexpr const BackupField* findBackupField(CommandCode code)
{
    for (const BackupField& field : kBackupFields) {
        if (field.code == code) {
            return &field;
        }
    }
    return nullptr;
}

} // namespace ordalis
