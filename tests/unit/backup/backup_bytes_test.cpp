#include "backup/backup_fields.h"
#include "backup/backup_file.h"
#include "backup_vectors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>

namespace ordalis {
namespace {

using testvectors::Bytes;

Bytes recordBytes(const BackupRecord& record)
{
    return Bytes(record.bytes.begin(), record.bytes.end());
}

Bytes slice(const Bytes& bytes, std::size_t from, std::size_t size)
{
    return Bytes(bytes.begin() + std::ptrdiff_t(from), bytes.begin() + std::ptrdiff_t(from + size));
}

// A table that already holds something, to see whether a failed load touched it.
BackupTable filledTable()
{
    BackupTable table;
    table.displayCount = 3;
    table.poweredOnCount = 3;
    table.loaded = true;
    for (std::size_t i = 0; i < table.records.size(); ++i) {
        table.records[i].bytes.fill(std::uint8_t(0xA0 + i));
    }
    return table;
}

bool sameTable(const BackupTable& a, const BackupTable& b)
{
    return a.displayCount == b.displayCount && a.poweredOnCount == b.poweredOnCount && a.loaded == b.loaded
        && a.records == b.records;
}

TEST(BackupRecordLayout, FieldsAndCodes)
{
    BackupRecord record;
    std::copy(testvectors::kOneDisplay.begin() + 10, testvectors::kOneDisplay.end(), record.bytes.begin());
    EXPECT_EQ(record.monitorId(), 1);
    EXPECT_EQ(record.checkByte(), 0xCC);

    struct Case
    {
        CommandCode code;
        std::size_t offset;
        std::size_t size;
        std::uint8_t firstByte;
    };
    const Case cases[] = {{"SER", 1, 13, 'S'}, {"MNA", 14, 13, 'V'}, {"MIN", 27, 1, 9}, {"BRI", 34, 1, 80},
        {"CCT", 37, 1, 0x21}, {"POD", 45, 1, 2}, {"POE", 46, 1, 3}, {"MAT", 49, 1, 0x32},
        {"DIV", 50, 1, 0x11}};
    for (const auto& c : cases) {
        const BackupField* field = findBackupField(c.code);
        ASSERT_NE(field, nullptr) << c.code.text();
        EXPECT_EQ(field->offset, c.offset) << c.code.text();
        EXPECT_EQ(field->size, c.size) << c.code.text();
        EXPECT_EQ(record.bytes[field->offset], c.firstByte) << c.code.text();
    }
    EXPECT_EQ(findBackupField("POW"), nullptr);

    // The fields tile bytes 1-50 in order, with nothing left over or covered twice.
    std::size_t next = 1;
    for (const BackupField& field : kBackupFields) {
        EXPECT_EQ(field.offset, next) << field.code.text();
        next += field.size;
    }
    EXPECT_EQ(next, BackupRecord::kCheckByte);
}

TEST(BackupCheckByte, CoversTheByteAtTheRecordsPosition)
{
    struct Case
    {
        std::size_t position;
        std::uint8_t covered;
        std::uint8_t check;
    };
    const Case cases[] = {
        {0, 1, 0xCC}, // 51 = 0x33
        {0, 5, 0x00}, // 255
        {0, 0, 0xFF}, //
        {0, 25, 0x04}, // 1275 = 0x4FB
        {1, 0x53, 0x76}, // 4233 = 0x1089
        {24, 0x20, 0x9F}, // 1632 = 0x660
        {7, 0xFF, 0x32}, // 13005 = 0x32CD
    };
    for (const auto& c : cases) {
        BackupRecord record;
        record.bytes.fill(0x11);
        record.bytes[c.position] = c.covered;
        EXPECT_EQ(record.checkByteFor(c.position), c.check) << c.position << " " << int(c.covered);
        record.fillCheckByte(c.position);
        EXPECT_EQ(record.checkByte(), c.check);
        EXPECT_TRUE(record.checkByteMatches(c.position));
    }
}

TEST(BackupBytes, LoadsOneDisplay)
{
    ASSERT_EQ(testvectors::kOneDisplay.size(), 62u);
    BackupTable table = filledTable();
    EXPECT_EQ(loadBackupBytes(testvectors::kOneDisplay, table), BackupLoadStatus::Loaded);
    EXPECT_EQ(table.displayCount, 1);
    EXPECT_TRUE(table.loaded);
    EXPECT_EQ(recordBytes(table.records[0]), slice(testvectors::kOneDisplay, 10, 52));
    EXPECT_EQ(table.records[1], filledTable().records[1]); // stale slots stay as they were
}

TEST(BackupBytes, CheckOfTheSecondRecordCoversItsFirstSerialByte)
{
    struct Case
    {
        std::string name;
        std::size_t changedByte; // within the second record
        BackupLoadStatus status;
    };
    const Case cases[] = {
        {"unchanged", BackupRecord::kCheckByte + 1, BackupLoadStatus::Loaded},
        {"Monitor ID", BackupRecord::kMonitorId, BackupLoadStatus::Loaded},
        {"first serial byte", BackupRecord::kSerialNumber, BackupLoadStatus::CheckByteError},
        {"second serial byte", BackupRecord::kSerialNumber + 1, BackupLoadStatus::Loaded},
        {"check byte", BackupRecord::kCheckByte, BackupLoadStatus::CheckByteError},
    };
    for (const auto& c : cases) {
        Bytes file = testvectors::twoDisplays();
        if (c.changedByte < BackupRecord::kSize) {
            file[10 + 52 + c.changedByte] ^= 0x04;
        }
        BackupTable table;
        EXPECT_EQ(loadBackupBytes(file, table), c.status) << c.name;
        EXPECT_EQ(table.displayCount, 2) << c.name;
    }
}

TEST(BackupBytes, ChangedFirstRecordMonitorIdFails)
{
    Bytes file = testvectors::twoDisplays();
    file[10] = 0x05; // check byte stays CC, but ID 5 needs 00
    BackupTable table;
    EXPECT_EQ(loadBackupBytes(file, table), BackupLoadStatus::CheckByteError);
}

struct FormatCase
{
    std::string name;
    std::function<Bytes()> make;
};

void PrintTo(const FormatCase& c, std::ostream* os)
{
    *os << c.name;
}

class BackupFormatError : public testing::TestWithParam<FormatCase>
{
};

TEST_P(BackupFormatError, LeavesTheTableUntouched)
{
    BackupTable table = filledTable();
    EXPECT_EQ(loadBackupBytes(GetParam().make(), table), BackupLoadStatus::FormatError);
    EXPECT_TRUE(sameTable(table, filledTable()));
}

Bytes withMagicByte(std::size_t index)
{
    Bytes file = testvectors::kOneDisplay;
    file[index] ^= 0x80;
    return file;
}

// A file of 26 well-formed records: right length for its count, but more than a wall holds.
Bytes twentySixDisplays()
{
    Bytes file = testvectors::kOneDisplay;
    file[9] = 26;
    for (int i = 1; i < 26; ++i) {
        file.insert(file.end(), testvectors::kOneDisplay.begin() + 10, testvectors::kOneDisplay.end());
    }
    return file;
}

INSTANTIATE_TEST_SUITE_P(Files, BackupFormatError,
    testing::Values(FormatCase {"empty", [] { return Bytes {}; }},
        FormatCase {"61 bytes",
            [] { return Bytes(testvectors::kOneDisplay.begin(), testvectors::kOneDisplay.end() - 1); }},
        FormatCase {"63 bytes",
            [] {
                Bytes file = testvectors::kOneDisplay;
                file.push_back(0);
                return file;
            }},
        FormatCase {"113 bytes for two",
            [] {
                Bytes file = testvectors::twoDisplays();
                file.pop_back();
                return file;
            }},
        FormatCase {"count 2 in 62 bytes",
            [] {
                Bytes file = testvectors::kOneDisplay;
                file[9] = 2;
                return file;
            }},
        FormatCase {"count 0 in 62 bytes",
            [] {
                Bytes file = testvectors::kOneDisplay;
                file[9] = 0;
                return file;
            }},
        FormatCase {"count 0 header only",
            [] { return Bytes(testvectors::kOneDisplay.begin(), testvectors::kOneDisplay.begin() + 10); }},
        FormatCase {"count 26", twentySixDisplays},
        FormatCase {"count 255",
            [] {
                Bytes file = testvectors::kOneDisplay;
                file[9] = 255;
                return file;
            }},
        FormatCase {"magic 0", [] { return withMagicByte(0); }},
        FormatCase {"magic 1", [] { return withMagicByte(1); }},
        FormatCase {"magic 2", [] { return withMagicByte(2); }},
        FormatCase {"magic 3", [] { return withMagicByte(3); }},
        FormatCase {"magic 4", [] { return withMagicByte(4); }},
        FormatCase {"magic 5", [] { return withMagicByte(5); }},
        FormatCase {"magic 6", [] { return withMagicByte(6); }},
        FormatCase {"magic 7", [] { return withMagicByte(7); }},
        FormatCase {"magic 8", [] { return withMagicByte(8); }}),
    [](const auto& row) { return std::to_string(row.index); });

TEST(BackupBytes, BadCheckByteReplacesCountAndRecordsButNotTheFlag)
{
    Bytes file = testvectors::twoDisplays();
    file[10 + 52 + BackupRecord::kSerialNumber] = 'R';
    BackupTable table = filledTable();

    EXPECT_EQ(loadBackupBytes(file, table), BackupLoadStatus::CheckByteError);
    EXPECT_TRUE(isFormatError(BackupLoadStatus::CheckByteError));
    EXPECT_EQ(table.displayCount, 2);
    EXPECT_FALSE(table.loaded);
    EXPECT_EQ(recordBytes(table.records[0]), slice(file, 10, 52));
    EXPECT_EQ(recordBytes(table.records[1]), slice(file, 62, 52));
    EXPECT_EQ(table.records[2], filledTable().records[2]);
    EXPECT_EQ(table.poweredOnCount, 3);
}

TEST(BackupBytes, SavingFillsCheckBytesAndWritesTheCountedRecords)
{
    BackupTable table = filledTable();
    table.loaded = true;
    table.displayCount = 2;
    std::copy(testvectors::kOneDisplay.begin() + 10, testvectors::kOneDisplay.end(),
        table.records[0].bytes.begin());
    std::copy(
        testvectors::kSecondRecord.begin(), testvectors::kSecondRecord.end(), table.records[1].bytes.begin());
    table.records[0].bytes[BackupRecord::kCheckByte] = 0;
    table.records[1].bytes[BackupRecord::kCheckByte] = 0;

    const auto bytes = saveBackupBytes(table);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(*bytes, testvectors::twoDisplays());
    EXPECT_EQ(table.records[0].checkByte(), 0xCC);
    EXPECT_EQ(table.records[1].checkByte(), 0x76);
    EXPECT_EQ(table.records[2], filledTable().records[2]); // beyond the count: not written, not changed
}

TEST(BackupBytes, RoundTripIsByteForByte)
{
    for (const Bytes& file : {testvectors::kOneDisplay, testvectors::twoDisplays()}) {
        BackupTable table;
        ASSERT_EQ(loadBackupBytes(file, table), BackupLoadStatus::Loaded);
        const auto saved = saveBackupBytes(table);
        ASSERT_TRUE(saved.has_value());
        EXPECT_EQ(*saved, file);
    }
}

TEST(BackupBytes, CountLimits)
{
    BackupTable table;
    table.displayCount = 0;
    const auto empty = saveBackupBytes(table);
    ASSERT_TRUE(empty.has_value());
    EXPECT_EQ(*empty, (Bytes {0x00, 0x06, 0x02, 0x07, 0x09, 0x04, 0x01, 0x01, 0x03, 0x00}));

    table.displayCount = 25;
    EXPECT_EQ(saveBackupBytes(table)->size(), 1310u);

    table.displayCount = 26;
    EXPECT_FALSE(saveBackupBytes(table).has_value());
}

} // namespace
} // namespace ordalis
