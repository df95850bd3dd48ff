// Any bytes as a back-up file: loading never reads out of bounds, a refused file leaves the
// table as it was, and a file that loads is written back byte for byte.
#include "backup/backup_file.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>

namespace {

bool sameRecords(const ordalis::BackupTable& a, const ordalis::BackupTable& b)
{
    for (std::size_t i = 0; i < ordalis::BackupTable::kMaxDisplays; ++i) {
        if (a.records[i].bytes != b.records[i].bytes)
            return false;
    }
    return a.displayCount == b.displayCount && a.loaded == b.loaded;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);

    // A table that already holds something, so that a refusal can be seen to keep it.
    ordalis::BackupTable table;
    table.displayCount = 1;
    table.loaded = true;
    table.records[0].bytes.fill(0x5A);
    const ordalis::BackupTable before = table;

    switch (ordalis::loadBackupBytes(bytes, table)) {
    case ordalis::BackupLoadStatus::FormatError:
    case ordalis::BackupLoadStatus::CouldNotOpen:
        if (!sameRecords(table, before))
            std::abort();
        break;
    case ordalis::BackupLoadStatus::CheckByteError:
        if (table.loaded || table.displayCount > ordalis::BackupTable::kMaxDisplays)
            std::abort();
        break;
    case ordalis::BackupLoadStatus::Loaded: {
        const auto written = ordalis::saveBackupBytes(table);
        if (!written || !std::equal(written->begin(), written->end(), bytes.begin(), bytes.end()))
            std::abort();
        break;
    }
    }
    return 0;
}
