// backup-info: the records of a back-up file, one line each.
#include "backup/backup_fields.h"
#include "backup/backup_file.h"
#include "cli_command.h"

#include <cstdio>
#include <string>

namespace ordalis::cli {

namespace {

std::string hexByte(std::uint8_t value)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

// Text fields are quoted; bytes that are not printable ASCII show as \xHH.
std::string quoted(const std::uint8_t* bytes, std::size_t size)
{
    std::string text = "\"";
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t c = bytes[i];
        if (c == '"' || c == '\\') {
            text += '\\';
            text += char(c);
        } else if (c >= 0x20 && c < 0x7F) {
            text += char(c);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", c);
            text += escape;
        }
    }
    return text + "\"";
}

// Matrix and division pack X and Y in the two halves of the byte: hex shows them.
bool shownInHex(CommandCode code)
{
    return code == CommandCode("MAT") || code == CommandCode("DIV");
}

void printRecord(std::ostream& out, const BackupRecord& record, std::size_t position)
{
    out << position << "\tID=" << int(record.monitorId());
    for (const BackupField& field : kBackupFields) {
        out << '\t' << field.code.text() << '=';
        const std::uint8_t* bytes = record.bytes.data() + field.offset;
        if (field.size > 1) {
            out << quoted(bytes, field.size);
        } else if (shownInHex(field.code)) {
            out << hexByte(*bytes);
        } else {
            out << int(*bytes);
        }
    }
    out << "\tCHK=" << hexByte(record.checkByte());
    if (!record.checkByteMatches(position)) {
        out << " (expected " << hexByte(record.checkByteFor(position)) << ")";
    }
    out << '\n';
}

int backupInfo(const CliContext& context, const std::vector<std::string>& args)
{
    if (args.size() != 1) {
        return usageError(context, "backup-info takes one file");
    }
    BackupTable table;
    const BackupLoadStatus status = LoadBackupFile(args[0], table);
    if (status == BackupLoadStatus::CouldNotOpen) {
        context.err << "File could not be opened!\n";
        return kExitFailed;
    }
    if (status == BackupLoadStatus::FormatError) {
        context.err << "File format error!\n";
        return kExitFailed;
    }
    // A check-byte failure still replaced the records: show what was read.
    for (std::size_t position = 0; position < table.displayCount; ++position) {
        printRecord(context.out, table.records[position], position);
    }
    if (status == BackupLoadStatus::CheckByteError) {
        context.err << "File format error!\n";
        return kExitFailed;
    }
    return kExitOk;
}

const CommandRegistration registration {
    {"backup-info", "FILE", "print the records of a back-up file, one line each", &backupInfo}};

} // namespace

} // namespace ordalis::cli
