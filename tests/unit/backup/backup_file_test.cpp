#include "backup/backup_file.h"
#include "backup_vectors.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace ordalis {
namespace {

namespace fs = std::filesystem;
using testvectors::Bytes;

const fs::path kDataDir = fs::path(ORDALIS_TEST_DATA_DIR) / "backup";

Bytes readAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeAll(const fs::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// A private folder per test, removed afterwards.
class BackupFileTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("ordalis-backup-" + std::to_string(std::random_device {}()));
        fs::create_directories(m_dir);
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::permissions(m_dir, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(m_dir, ec);
    }

    // Names in the folder, to see that no temporary file was left behind.
    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_dir)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    static BackupTable loadedTable(const Bytes& file)
    {
        BackupTable table;
        EXPECT_EQ(loadBackupBytes(file, table), BackupLoadStatus::Loaded);
        return table;
    }

    fs::path m_dir;
};

TEST_F(BackupFileTest, TwentyFiveDisplaysSaveAndLoadByteForByte)
{
    const Bytes wall = readAll(kDataDir / "wall_25.bin");
    ASSERT_EQ(wall.size(), 1310u);

    BackupTable table;
    ASSERT_EQ(LoadBackupFile(kDataDir / "wall_25.bin", table), BackupLoadStatus::Loaded);
    EXPECT_EQ(table.displayCount, 25);
    EXPECT_EQ(table.records[24].monitorId(), 25);

    const fs::path path = m_dir / "wall.bin";
    const BackupSaveResult saved = SaveBackupFile(path, table);
    ASSERT_TRUE(saved.ok());
    EXPECT_EQ(readAll(path), wall);
    EXPECT_EQ(entries(), std::vector<std::string> {"wall.bin"});

    BackupTable again;
    EXPECT_EQ(LoadBackupFile(path, again), BackupLoadStatus::Loaded);
    EXPECT_EQ(again.records, table.records);
}

TEST_F(BackupFileTest, SaveReplacesAnEarlierFile)
{
    const fs::path path = m_dir / "b.bin";
    writeAll(path, Bytes(5000, 0xEE));
    BackupTable table = loadedTable(testvectors::kOneDisplay);
    ASSERT_TRUE(SaveBackupFile(path, table).ok());
    EXPECT_EQ(readAll(path), testvectors::kOneDisplay);
    EXPECT_EQ(entries(), std::vector<std::string> {"b.bin"});
}

TEST_F(BackupFileTest, LoadResultsFromFiles)
{
    struct Case
    {
        fs::path path;
        BackupLoadStatus status;
        std::uint8_t count; // after the load
    };
    const Case cases[] = {
        {kDataDir / "one_display.bin", BackupLoadStatus::Loaded, 1},
        {kDataDir / "bad_check.bin", BackupLoadStatus::CheckByteError, 2},
        {kDataDir / "missing.bin", BackupLoadStatus::CouldNotOpen, 7},
        {kDataDir, BackupLoadStatus::CouldNotOpen, 7},
        {kDataDir / "make_vectors.py", BackupLoadStatus::FormatError, 7},
    };
    for (const auto& c : cases) {
        BackupTable table;
        table.displayCount = 7;
        EXPECT_EQ(LoadBackupFile(c.path, table), c.status) << c.path;
        EXPECT_EQ(table.displayCount, c.count) << c.path;
    }
}

TEST_F(BackupFileTest, LongFileIsAFormatError)
{
    Bytes file = readAll(kDataDir / "wall_25.bin");
    file.resize(1024 * 1024, 0);
    writeAll(m_dir / "long.bin", file);
    BackupTable table;
    EXPECT_EQ(LoadBackupFile(m_dir / "long.bin", table), BackupLoadStatus::FormatError);
    EXPECT_EQ(table.displayCount, 0);
}

struct FailedSaveCase
{
    std::string name;
    std::function<fs::path(const fs::path& dir)> prepare; // returns the path to save to
    BackupSaveStatus status;
    FileErrorCause cause;
};

void PrintTo(const FailedSaveCase& c, std::ostream* os)
{
    *os << c.name;
}

class FailedSave : public BackupFileTest, public testing::WithParamInterface<FailedSaveCase>
{
};

// Whatever stood at the path before (a file or a folder) is still there, unchanged, and no
// temporary file is left in the folder.
TEST_P(FailedSave, LeavesThePreviousFileIntact)
{
    const fs::path path = GetParam().prepare(m_dir);
    const bool existed = fs::exists(path);
    const Bytes before = fs::is_regular_file(path) ? readAll(path) : Bytes {};
    const auto entriesBefore = entries();

    BackupTable table = loadedTable(readAll(kDataDir / "wall_25.bin"));
    const BackupSaveResult result = SaveBackupFile(path, table);

    EXPECT_EQ(result.status, GetParam().status);
    EXPECT_EQ(result.cause, GetParam().cause);
    EXPECT_EQ(result.path, path);
    EXPECT_EQ(fs::exists(path), existed);
    if (fs::is_regular_file(path)) {
        EXPECT_EQ(readAll(path), before);
    }
    EXPECT_EQ(entries(), entriesBefore);
}

INSTANTIATE_TEST_SUITE_P(Paths, FailedSave,
    testing::Values(FailedSaveCase {"missing folder",
                        [](const fs::path& dir) { return dir / "no such folder" / "a.bin"; },
                        BackupSaveStatus::CouldNotCreate, FileErrorCause::NotFound},
        FailedSaveCase {"path is a folder",
            [](const fs::path& dir) {
                fs::create_directory(dir / "a.bin");
                return dir / "a.bin";
            },
            BackupSaveStatus::CouldNotCreate, FileErrorCause::AccessDenied},
        FailedSaveCase {"path is a folder with files",
            [](const fs::path& dir) {
                fs::create_directory(dir / "a.bin");
                writeAll(dir / "a.bin" / "inside", testvectors::kOneDisplay);
                return dir / "a.bin";
            },
            BackupSaveStatus::CouldNotCreate, FileErrorCause::AccessDenied},
        FailedSaveCase {"path under a file",
            [](const fs::path& dir) {
                writeAll(dir / "plain", testvectors::kOneDisplay);
                return dir / "plain" / "a.bin";
            },
            BackupSaveStatus::CouldNotCreate, FileErrorCause::BadPath},
        FailedSaveCase {"name ends with a separator", [](const fs::path& dir) { return dir / "sub" / ""; },
            BackupSaveStatus::CouldNotCreate, FileErrorCause::NotFound}),
    [](const auto& row) { return std::to_string(row.index); });

TEST_F(BackupFileTest, SaveIntoAReadOnlyFolderKeepsTheOldFile)
{
    if (geteuid() == 0) {
        GTEST_SKIP() << "permissions do not stop root";
    }
    const fs::path path = m_dir / "old.bin";
    writeAll(path, testvectors::kOneDisplay);
    fs::permissions(m_dir, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
        fs::perm_options::remove);

    BackupTable table = loadedTable(readAll(kDataDir / "wall_25.bin"));
    const BackupSaveResult result = SaveBackupFile(path, table);
    EXPECT_EQ(result.status, BackupSaveStatus::CouldNotCreate);
    EXPECT_EQ(result.cause, FileErrorCause::AccessDenied);
    EXPECT_EQ(readAll(path), testvectors::kOneDisplay);
}

// A write that fails half-way (here: the process may not write files beyond 100 bytes) must not
// cost the last good back-up, which a delete-then-write save would already have removed.
TEST_F(BackupFileTest, WriteFailureKeepsTheOldFile)
{
    const fs::path path = m_dir / "old.bin";
    writeAll(path, testvectors::kOneDisplay);
    BackupTable table = loadedTable(readAll(kDataDir / "wall_25.bin"));

    rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const BackupSaveResult result = SaveBackupFile(path, table);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(result.status, BackupSaveStatus::WriteFailed);
    EXPECT_EQ(result.cause, FileErrorCause::DiskFull);
    EXPECT_EQ(readAll(path), testvectors::kOneDisplay);
    EXPECT_EQ(entries(), std::vector<std::string> {"old.bin"});
}

TEST_F(BackupFileTest, CountAboveTheTableIsAWriteFailureAndWritesNothing)
{
    const fs::path path = m_dir / "old.bin";
    writeAll(path, testvectors::kOneDisplay);
    BackupTable table;
    table.displayCount = 26;
    const BackupSaveResult result = SaveBackupFile(path, table);
    EXPECT_EQ(result.status, BackupSaveStatus::WriteFailed);
    EXPECT_EQ(result.cause, FileErrorCause::PastEnd);
    EXPECT_EQ(readAll(path), testvectors::kOneDisplay);
}

} // namespace
} // namespace ordalis
