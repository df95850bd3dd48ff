#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>

namespace ordalis {

class CTavrinApp;

// The IP settings file: the banner line, then "ID=<n>;IP=<address>;" per display that has
// an address, n = 1..100 in increasing order. Text is ASCII in practice, read and written
// as UTF-8; lines end in "\n", and a read accepts "\r\n" too.
using IpAddressTable = std::array<QString, 100>;

inline constexpr char kIpSettingsBanner[] = "<<<Ordalis: IP Settings>>>";

// Reads the file text into table. Nothing is read unless the first line contains the
// banner. Reading stops at the first line that does not fit; what was stored before stays,
// and a later line for the same ID replaces an earlier one. Never fails.
void ParseIpSettings(QByteArrayView text, IpAddressTable& table);

// The file text for table.
QByteArray FormatIpSettings(const IpAddressTable& table);

// Path of the file: the data folder, then the "IP File" setting.
QString IpSettingsPath(const CTavrinApp& app);

// Fills app.IpTable from the file, creating the file empty when it does not exist. A file
// that cannot be opened or read is reported through the prompts; the table keeps what it
// had (and what was read before a read error). Returns false on those failures.
bool LoadIpSettings(CTavrinApp& app);

// Writes app.IpTable to the file. The old file is replaced only after the new one is
// complete, so a failed save leaves it as it was; the failure is reported through the
// prompts and false returned.
bool SaveIpSettings(CTavrinApp& app);

} // namespace ordalis
