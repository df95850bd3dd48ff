#pragma once

#include <QPoint>

#include <cstdint>

namespace ordalis {

class CTavrinApp;

// Monitor IDs run in a serpentine from the first display's corner: left to right along
// the first row, back along the next. Places are 1-based (column 1 at the left, row 1 at
// the top); cell indexes are 0-based, column by column: index = column * rows + row.

inline constexpr std::int32_t kNoCell = 255;

// column * 256 + row of the display, or 0 when the ID is not on the wall (0, beyond
// columns x rows, or a wall without columns or rows).
std::int32_t MonitorIdToPlace(const CTavrinApp& app, std::int32_t monitorId);

// The Monitor ID at a place, or 0 when the place is not on the wall.
std::int32_t PlaceToMonitorId(const CTavrinApp& app, std::int32_t column, std::int32_t row);

// (column - 1) * WallRows + (row - 1) of the display, or kNoCell when the ID is not on the wall.
std::int32_t CellIndexOfMonitorId(const CTavrinApp& app, std::int32_t monitorId);

// CellWidth and CellHeight of a picture of the given size: one cell per display with a
// 2-pixel gap. A wall without columns (or rows) gives a size of 0 in that direction.
void SetCellSize(CTavrinApp& app, std::int32_t pictureWidth, std::int32_t pictureHeight);

// The index of the cell under point in a picture whose grid starts at (pictureLeft,
// pictureTop), with the current cell size; the right and bottom edges belong to the gap.
// kNoCell for a point on a gap or outside the grid.
std::int32_t CellAtPoint(
    const CTavrinApp& app, std::int32_t pictureLeft, std::int32_t pictureTop, QPoint point);

} // namespace ordalis
