#include "app/wall_geometry.h"

#include "app/ctavrin_app.h"

namespace ordalis {

namespace {

bool onWall(const CTavrinApp& app, std::int32_t monitorId)
{
    return monitorId >= 1 && monitorId <= app.WallColumns * app.WallRows;
}

} // namespace

std::int32_t MonitorIdToPlace(const CTavrinApp& app, std::int32_t monitorId)
{
    if (!onWall(app, monitorId))
        return 0;
    const std::int32_t columns = app.WallColumns;
    const std::int32_t rows = app.WallRows;
    const std::int32_t a = monitorId - 1;
    const std::int32_t q = a / columns; // chain row, counted from the first display's row
    const std::int32_t r = a % columns;
    const std::int32_t column = q % 2 == 0 ? r + 1 : columns - r;
    const std::int32_t row = app.FirstDisplayAtBottom ? rows - q : q + 1;
    return column * 256 + row;
}

std::int32_t PlaceToMonitorId(const CTavrinApp& app, std::int32_t column, std::int32_t row)
{
    const std::int32_t columns = app.WallColumns;
    const std::int32_t rows = app.WallRows;
    if (column < 1 || column > columns || row < 1 || row > rows)
        return 0;
    // d: the row counted from the first display's row, 1-based.
    const std::int32_t d = app.FirstDisplayAtBottom ? rows - row + 1 : row;
    return d % 2 == 1 ? (d - 1) * columns + column : d * columns - column + 1;
}

std::int32_t CellIndexOfMonitorId(const CTavrinApp& app, std::int32_t monitorId)
{
    const std::int32_t place = MonitorIdToPlace(app, monitorId);
    if (place == 0)
        return kNoCell;
    const std::int32_t column = place / 256;
    const std::int32_t row = place % 256;
    return (column - 1) * app.WallRows + (row - 1);
}

void SetCellSize(CTavrinApp& app, std::int32_t pictureWidth, std::int32_t pictureHeight)
{
    app.CellWidth = app.WallColumns == 0 ? 0 : pictureWidth / app.WallColumns - 2;
    app.CellHeight = app.WallRows == 0 ? 0 : pictureHeight / app.WallRows - 2;
}

std::int32_t CellAtPoint(
    const CTavrinApp& app, std::int32_t pictureLeft, std::int32_t pictureTop, QPoint point)
{
    if (app.WallColumns == 0)
        return kNoCell;
    for (std::int32_t i = 0; i < app.WallColumns; ++i) {
        const std::int32_t left = pictureLeft + i * (app.CellWidth + 2);
        for (std::int32_t k = 0; k < app.WallRows; ++k) {
            const std::int32_t top = pictureTop + k * (app.CellHeight + 2);
            if (point.x() >= left && point.x() < left + app.CellWidth && point.y() >= top
                && point.y() < top + app.CellHeight)
                return k + i * app.WallRows;
        }
    }
    return kNoCell;
}

} // namespace ordalis
