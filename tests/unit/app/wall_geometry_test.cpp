#include "app/wall_geometry.h"
#include "app_fixture.h"

#include <set>
#include <vector>

namespace ordalis::test {
namespace {

class WallGeometryTest : public AppFixture
{
protected:
    void setWall(int columns, int rows, bool atBottom)
    {
        app.WallColumns = static_cast<std::uint8_t>(columns);
        app.WallRows = static_cast<std::uint8_t>(rows);
        app.FirstDisplayAtBottom = atBottom ? 1 : 0;
    }
};

// The Monitor IDs of a wall as the operator sees it, top row first.
struct NumberingCase
{
    int columns, rows;
    bool atBottom;
    std::vector<std::vector<int>> picture;
};

const NumberingCase kNumberingCases[] = {
    {3, 3, true, {{7, 8, 9}, {6, 5, 4}, {1, 2, 3}}},
    {3, 3, false, {{1, 2, 3}, {6, 5, 4}, {7, 8, 9}}},
    {3, 2, false, {{1, 2, 3}, {6, 5, 4}}},
    {3, 2, true, {{6, 5, 4}, {1, 2, 3}}},
    {4, 3, true, {{9, 10, 11, 12}, {8, 7, 6, 5}, {1, 2, 3, 4}}},
    {4, 2, false, {{1, 2, 3, 4}, {8, 7, 6, 5}}},
    {4, 2, true, {{8, 7, 6, 5}, {1, 2, 3, 4}}},
    {1, 3, false, {{1}, {2}, {3}}},
    {1, 3, true, {{3}, {2}, {1}}},
    {5, 1, true, {{1, 2, 3, 4, 5}}},
};

TEST_F(WallGeometryTest, NumbersTheWallInASerpentine)
{
    for (const NumberingCase& c : kNumberingCases) {
        setWall(c.columns, c.rows, c.atBottom);
        for (int row = 1; row <= c.rows; ++row) {
            for (int column = 1; column <= c.columns; ++column) {
                const int id
                    = c.picture[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(column - 1)];
                SCOPED_TRACE(testing::Message()
                    << c.columns << "x" << c.rows << (c.atBottom ? " bottom" : " top") << " id " << id);
                EXPECT_EQ(PlaceToMonitorId(app, column, row), id);
                EXPECT_EQ(MonitorIdToPlace(app, id), column * 256 + row);
                EXPECT_EQ(CellIndexOfMonitorId(app, id), (column - 1) * c.rows + (row - 1));
            }
        }
    }
}

TEST_F(WallGeometryTest, PlaceToMonitorIdInvertsMonitorIdToPlaceOnEveryWall)
{
    for (int columns = 1; columns <= 15; ++columns) {
        for (int rows = 1; rows <= 15; ++rows) {
            for (const bool atBottom : {false, true}) {
                setWall(columns, rows, atBottom);
                std::set<int> places;
                for (int id = 1; id <= columns * rows; ++id) {
                    const int place = MonitorIdToPlace(app, id);
                    const int column = place / 256;
                    const int row = place % 256;
                    ASSERT_TRUE(column >= 1 && column <= columns && row >= 1 && row <= rows)
                        << columns << "x" << rows << " id " << id;
                    ASSERT_EQ(PlaceToMonitorId(app, column, row), id)
                        << columns << "x" << rows << " id " << id;
                    places.insert(place);
                }
                EXPECT_EQ(static_cast<int>(places.size()), columns * rows);
            }
        }
    }
}

TEST_F(WallGeometryTest, IdsAndPlacesOffTheWallHaveNoPlaceAndNoCell)
{
    struct OffWall
    {
        int columns, rows;
        bool atBottom;
        int id;
    };
    // On a bottom-left 3 x 3 wall the plain formulas put ID 10 in cell 5 and ID 15 in cell 4.
    const OffWall ids[] = {{3, 3, true, 0}, {3, 3, true, 10}, {3, 3, true, 15}, {3, 3, false, 10},
        {3, 3, false, -1}, {2, 2, false, 127}};
    for (const OffWall& c : ids) {
        SCOPED_TRACE(testing::Message() << c.columns << "x" << c.rows << " id " << c.id);
        setWall(c.columns, c.rows, c.atBottom);
        EXPECT_EQ(MonitorIdToPlace(app, c.id), 0);
        EXPECT_EQ(CellIndexOfMonitorId(app, c.id), kNoCell);
    }
    setWall(3, 2, true);
    for (const QPoint place : {QPoint(0, 1), QPoint(4, 1), QPoint(1, 0), QPoint(1, 3)})
        EXPECT_EQ(PlaceToMonitorId(app, place.x(), place.y()), 0) << place.x() << "," << place.y();
    setWall(0, 0, false);
    EXPECT_EQ(MonitorIdToPlace(app, 1), 0);
    EXPECT_EQ(CellIndexOfMonitorId(app, 1), kNoCell);
}

TEST_F(WallGeometryTest, CellIndexOfMonitorIdOnTwoByTwo)
{
    setWall(2, 2, false);
    EXPECT_EQ(CellIndexOfMonitorId(app, 3), 3);
    EXPECT_EQ(CellIndexOfMonitorId(app, 4), 1);
    setWall(2, 2, true);
    EXPECT_EQ(CellIndexOfMonitorId(app, 3), 2);
    EXPECT_EQ(CellIndexOfMonitorId(app, 1), 1);
}

TEST_F(WallGeometryTest, SetCellSizeLeavesTwoPixelGaps)
{
    struct SizeCase
    {
        int columns, rows, width, height, cellWidth, cellHeight;
    };
    const SizeCase cases[] = {
        {2, 2, 100, 80, 48, 38},
        {3, 3, 100, 100, 31, 31}, // the fraction is dropped
        {3, 2, 480, 300, 158, 148},
        {0, 2, 100, 80, 0, 38},
    };
    for (const SizeCase& c : cases) {
        setWall(c.columns, c.rows, false);
        SetCellSize(app, c.width, c.height);
        EXPECT_EQ(app.CellWidth, c.cellWidth) << c.columns << "x" << c.rows;
        EXPECT_EQ(app.CellHeight, c.cellHeight) << c.columns << "x" << c.rows;
    }
}

TEST_F(WallGeometryTest, CellAtPointFindsCellsColumnByColumn)
{
    // 2 x 2 wall in a 100 x 80 picture at (20, 10): cells 48 x 38, gaps at x 68-69 and y 48-49.
    setWall(2, 2, false);
    SetCellSize(app, 100, 80);
    struct PointCase
    {
        QPoint point;
        int cell;
    };
    const PointCase cases[] = {
        {{20, 10}, 0}, {{67, 47}, 0}, {{20, 50}, 1}, {{70, 10}, 2}, {{117, 87}, 3}, {{68, 10}, kNoCell},
        {{69, 30}, kNoCell}, {{30, 48}, kNoCell}, {{30, 49}, kNoCell}, // gaps
        {{19, 10}, kNoCell}, {{20, 9}, kNoCell}, {{118, 60}, kNoCell}, {{90, 88}, kNoCell}, // outside
    };
    for (const PointCase& c : cases)
        EXPECT_EQ(CellAtPoint(app, 20, 10, c.point), c.cell) << c.point.x() << "," << c.point.y();
}

TEST_F(WallGeometryTest, CellAtPointWithoutColumnsFindsNothing)
{
    setWall(0, 2, false);
    app.CellWidth = 50;
    app.CellHeight = 50;
    EXPECT_EQ(CellAtPoint(app, 0, 0, QPoint(10, 10)), kNoCell);
}

} // namespace
} // namespace ordalis::test
