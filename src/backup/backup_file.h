#pragma once

#include "backup/backup_table.h"
#include "backup/file_error.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace ordalis {

// A back-up file: nine magic bytes, the display count, then that many records.
namespace backupfile {
inline constexpr std::array<std::uint8_t, 9> kMagic = {0x00, 0x06, 0x02, 0x07, 0x09, 0x04, 0x01, 0x01, 0x03};
inline constexpr std::size_t kCountOffset = 9;
inline constexpr std::size_t kHeaderSize = 10;

constexpr std::size_t fileSize(std::size_t displayCount)
{
    return kHeaderSize + BackupRecord::kSize * displayCount;
}
inline constexpr std::size_t kMinSize = fileSize(1);
inline constexpr std::size_t kMaxSize = fileSize(BackupTable::kMaxDisplays);
} // namespace backupfile

enum class BackupLoadStatus : std::uint8_t {
    Loaded, // count, records and loaded flag set
    CouldNotOpen, // table untouched
    FormatError, // length, magic or count wrong: table untouched
    CheckByteError, // count and records replaced, loaded flag cleared
};

// Both format results are shown to the operator as one "format error".
constexpr bool isFormatError(BackupLoadStatus status)
{
    return status == BackupLoadStatus::FormatError || status == BackupLoadStatus::CheckByteError;
}

enum class BackupSaveStatus : std::uint8_t {
    Saved,
    CouldNotCreate, // with cause and path
    WriteFailed, // with cause
};

struct BackupSaveResult
{
    BackupSaveStatus status = BackupSaveStatus::Saved;
    FileErrorCause cause = FileErrorCause::None;
    std::filesystem::path path;

    bool ok() const { return status == BackupSaveStatus::Saved; }
};

// The file's bytes for the table's first displayCount records, after filling their check bytes in
// the table. A count above 25 gives nothing: there are no such records to write.
std::optional<std::vector<std::uint8_t>> saveBackupBytes(BackupTable& table);

// Reads a whole file's bytes into the table with every check in order; never CouldNotOpen.
BackupLoadStatus loadBackupBytes(std::span<const std::uint8_t> bytes, BackupTable& table);

// Saves atomically: a failed save leaves any earlier file at the path as it was.
BackupSaveResult SaveBackupFile(const std::filesystem::path& path, BackupTable& table);
BackupLoadStatus LoadBackupFile(const std::filesystem::path& path, BackupTable& table);

} // namespace ordalis
