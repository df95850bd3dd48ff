#include "backup/backup_file.h"

#include "backup/replace_file.h"

#include <algorithm>
#include <fstream>

namespace ordalis {

std::optional<std::vector<std::uint8_t>> saveBackupBytes(BackupTable& table)
{
    if (table.displayCount > BackupTable::kMaxDisplays) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(backupfile::kMagic.begin(), backupfile::kMagic.end());
    bytes.reserve(backupfile::fileSize(table.displayCount));
    bytes.push_back(table.displayCount);
    for (std::size_t position = 0; position < table.displayCount; ++position) {
        BackupRecord& record = table.records[position];
        record.fillCheckByte(position);
        bytes.insert(bytes.end(), record.bytes.begin(), record.bytes.end());
    }
    return bytes;
}

BackupLoadStatus loadBackupBytes(std::span<const std::uint8_t> bytes, BackupTable& table)
{
    if (bytes.size() < backupfile::kMinSize) {
        return BackupLoadStatus::FormatError;
    }
    const std::uint8_t count = bytes[backupfile::kCountOffset];
    if (!std::equal(backupfile::kMagic.begin(), backupfile::kMagic.end(), bytes.begin())
        || count > BackupTable::kMaxDisplays || bytes.size() != backupfile::fileSize(count)) {
        return BackupLoadStatus::FormatError;
    }

    table.displayCount = count;
    for (std::size_t position = 0; position < count; ++position) {
        const auto from = bytes.subspan(backupfile::fileSize(position), BackupRecord::kSize);
        std::copy(from.begin(), from.end(), table.records[position].bytes.begin());
    }
    table.loaded = false;
    for (std::size_t position = 0; position < count; ++position) {
        if (!table.records[position].checkByteMatches(position)) {
            return BackupLoadStatus::CheckByteError;
        }
    }
    table.loaded = true;
    return BackupLoadStatus::Loaded;
}

BackupSaveResult SaveBackupFile(const std::filesystem::path& path, BackupTable& table)
{
    const auto bytes = saveBackupBytes(table);
    if (!bytes) {
        return {BackupSaveStatus::WriteFailed, FileErrorCause::PastEnd, path};
    }
    const ReplaceFileResult written = replaceFile(path, *bytes);
    switch (written.stage) {
    case ReplaceFileResult::Stage::Done:
        return {BackupSaveStatus::Saved, FileErrorCause::None, path};
    case ReplaceFileResult::Stage::Create:
        return {BackupSaveStatus::CouldNotCreate, fileErrorCauseFromErrno(written.errnoValue), path};
    case ReplaceFileResult::Stage::Write:
        break;
    }
    return {BackupSaveStatus::WriteFailed, fileErrorCauseFromErrno(written.errnoValue), path};
}

BackupLoadStatus LoadBackupFile(const std::filesystem::path& path, BackupTable& table)
{
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) {
        return BackupLoadStatus::CouldNotOpen;
    }
    // No valid file is longer than 25 records; reading one byte more is enough to refuse a longer one.
    std::vector<std::uint8_t> bytes(backupfile::kMaxSize + 1);
    in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
    if (in.bad()) {
        return BackupLoadStatus::CouldNotOpen; // a folder, or a read error
    }
    bytes.resize(std::size_t(in.gcount()));
    return loadBackupBytes(bytes, table);
}

} // namespace ordalis
