#include "app/display_list.h"

#include "app/ctavrin_app.h"
#include "app/wall_geometry.h"

namespace ordalis {

namespace {

constexpr std::uint8_t kAllDisplaysBit = 0x80;
constexpr std::uint8_t kSelectedIdMask = 0x7F;

IPixy makeRecord(const QString& address, std::int32_t monitorId)
{
    IPixy record;
    record.address = address;
    record.monitorId = monitorId;
    record.status = IPixy::kRebuildConnection;
    return record;
}

} // namespace

void BuildDisplayList(CTavrinApp& app)
{
    // Every connection is closed before any record goes, so no module keeps a connection
    // of the old layout while the new one is built.
    for (IPixy& record : app.DisplayList)
        record.connection.reset();
    app.DisplayList.clear();

    const QString& fallback = app.settings.IpAddress.current;
    switch (static_cast<ConnectionKind>(app.ConnectionKind)) {
    case ConnectionKind::Serial:
        break;
    case ConnectionKind::Lan:
    case ConnectionKind::Wireless:
        app.DisplayList.push_back(makeRecord(fallback, 1));
        break;
    case ConnectionKind::LanEach: {
        const std::int32_t count = app.WallColumns * app.WallRows;
        app.DisplayList.reserve(static_cast<std::size_t>(count));
        for (std::int32_t id = 1; id <= count; ++id) {
            // A wall can be larger than the table (15 x 15 > 100): those displays use the fallback.
            const bool inTable = id <= static_cast<std::int32_t>(app.IpTable.size());
            const QString& entry = inTable ? app.IpTable[static_cast<std::size_t>(id - 1)] : fallback;
            IPixy record = makeRecord(entry.isEmpty() ? fallback : entry, id);
            const std::int32_t place = MonitorIdToPlace(app, id);
            record.column = place / 256;
            record.row = place % 256;
            app.DisplayList.push_back(std::move(record));
        }
        std::uint8_t& target = app.settings.CommandTarget.current;
        if ((target & kSelectedIdMask) > count)
            target = static_cast<std::uint8_t>((target & kAllDisplaysBit) | 1);
        break;
    }
    }
}

} // namespace ordalis
