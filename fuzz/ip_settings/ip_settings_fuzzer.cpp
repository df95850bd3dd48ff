// Any bytes as an IP settings file: parsing never fails, and what it stores, written out
// and read again, gives the same table.
#include "app/ip_settings.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    ordalis::IpAddressTable table;
    ordalis::ParseIpSettings(text, table);

    const QByteArray written = ordalis::FormatIpSettings(table);
    ordalis::IpAddressTable reread;
    ordalis::ParseIpSettings(written, reread);
    if (reread != table)
        std::abort();
    if (ordalis::FormatIpSettings(reread) != written)
        std::abort();
    return 0;
}
