#include "app/ctavrin_app.h"
#include "tests/support/case_name.h"
#include "widgets/fonts.h"
#include "widgets/wall_picture.h"

#include <QCoreApplication>
#include <QDir>
#include <QMouseEvent>
#include <QPainter>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace ordalis {
namespace {

constexpr QRgb kCell = 0xFFC000; // 255, 192, 0
constexpr QRgb kHighlight = 0x83A8E4; // 131, 168, 228
constexpr QRgb kBackground = 0xECE9D8; // 236, 233, 216
constexpr QRgb kLink = 0x64C032; // 100, 192, 50
constexpr QRgb kBottomLeftLink = 0x64C064; // 100, 192, 100
constexpr QRgb kRed = 0xFF0000;
constexpr QRgb kPcBox = 0x00B0F0; // 0, 176, 240
constexpr QRgb kBlack = 0x000000;
constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kGreyNumber = 0x646464; // 100, 100, 100

constexpr int kTopLeft = 0;
constexpr int kBottomLeft = 1;

struct Wall
{
    int columns;
    int rows;
    int location; // FirstDisplayAtBottom
    int kind; // ConnectionKind
};

std::string hex(QRgb rgb)
{
    return QStringLiteral("%1").arg(rgb & 0xFFFFFF, 6, 16, QLatin1Char('0')).toStdString();
}

class WallPictureTest : public ::testing::Test
{
protected:
    void setWall(const Wall& wall)
    {
        app.WallColumns = static_cast<std::uint8_t>(wall.columns);
        app.WallRows = static_cast<std::uint8_t>(wall.rows);
        app.FirstDisplayAtBottom = static_cast<std::uint8_t>(wall.location);
        app.ConnectionKind = static_cast<std::uint8_t>(wall.kind);
    }

    QImage paint(const Wall& wall, PictureStyle style, QSize size, std::int32_t highlighted = 255)
    {
        setWall(wall);
        picture.setPictureStyle(style);
        picture.setHighlightedCell(highlighted);
        picture.resize(size);
        return picture.renderToImage();
    }

    CTavrinApp app {Services {}};
    CTestPatternCtrl picture {app};
};

// ---- Colour of single pixels --------------------------------------------------------------

struct PixelCase
{
    const char* what;
    Wall wall;
    PictureStyle style;
    QSize size;
    std::int32_t highlighted;
    std::uint8_t target;
    QPoint point;
    QRgb expected;
};

// Coordinates worked out by hand from the picture's geometry, for example the 3 x 2 home
// picture 600 x 300: grid at x 120, cells 158 x 148 with 2-pixel gaps, chain bars 4 high at
// y 74 and 224 from x 199 to 518, PC box (0, 100, 80, 100), PC link bar at x 40.
const Wall kHome32 {3, 2, kTopLeft, 0};
const Wall kHome43Bottom {4, 3, kBottomLeft, 0};
const Wall kLayout42 {4, 2, kTopLeft, 1};
const QSize kHomeSize {600, 300};

const PixelCase kPixelCases[] = {
    // 3 x 2, first display at the top left, serial.
    {"3x2 home: top left cell", kHome32, PictureStyle::Home, kHomeSize, 255, 0, {159, 37}, kCell},
    {"3x2 home: bottom right cell", kHome32, PictureStyle::Home, kHomeSize, 255, 0, {479, 187}, kCell},
    {"3x2 home: background in the left fifth", kHome32, PictureStyle::Home, kHomeSize, 255, 0, {60, 20},
        kBackground},
    {"3x2 home: gap between columns", kHome32, PictureStyle::Home, kHomeSize, 255, 0, {278, 20}, kBackground},
    {"3x2 home: gap between rows", kHome32, PictureStyle::Home, kHomeSize, 255, 0, {300, 148}, kBackground},
    {"3x2 home: top row chain bar", kHome32, PictureStyle::Home, kHomeSize, 255, 0, {300, 75}, kLink},
    {"3x2 home: bottom row chain bar", kHome32, PictureStyle::Home, kHomeSize, 255, 0, {300, 225}, kLink},
    {"3x2 home: bar ends at the last cell's centre", kHome32, PictureStyle::Home, kHomeSize, 255, 0,
        {560, 75}, kCell},
    {"3x2 home: link down on the right", kHome32, PictureStyle::Home, kHomeSize, 255, 0, {516, 150}, kLink},
    {"3x2 home: no link down on the left", kHome32, PictureStyle::Home, kHomeSize, 255, 0, {200, 150}, kCell},
    {"3x2 home: arrow body at the bottom left cell", kHome32, PictureStyle::Home, kHomeSize, 255, 0,
        {211, 218}, kLink},
    {"3x2 home: arrow points left, not right", kHome32, PictureStyle::Home, kHomeSize, 255, 0, {187, 218},
        kCell},
    {"3x2 home: PC link rises from the box top", kHome32, PictureStyle::Home, kHomeSize, 255, 0, {41, 90},
        kLink},
    {"3x2 home: PC link bar along the first row", kHome32, PictureStyle::Home, kHomeSize, 255, 0, {100, 75},
        kLink},
    {"3x2 home: PC link arrow", kHome32, PictureStyle::Home, kHomeSize, 255, 0, {104, 70}, kLink},
    {"3x2 home: PC box", kHome32, PictureStyle::Home, kHomeSize, 255, 0, {5, 105}, kPcBox},
    {"3x2 home: PC box bottom corner", kHome32, PictureStyle::Home, kHomeSize, 255, 0, {79, 199}, kPcBox},
    {"3x2 home: nothing below the box", kHome32, PictureStyle::Home, kHomeSize, 255, 0, {41, 225},
        kBackground},
    {"3x2 home: highlighted cell border", kHome32, PictureStyle::Home, kHomeSize, 0, 0, {122, 2}, kHighlight},
    {"3x2 home: highlighted cell inside the border", kHome32, PictureStyle::Home, kHomeSize, 0, 0, {123, 3},
        kCell},
    {"3x2 home: highlighted cell far corner border", kHome32, PictureStyle::Home, kHomeSize, 0, 0, {275, 145},
        kHighlight},
    {"3x2 home: other cells have no border", kHome32, PictureStyle::Home, kHomeSize, 0, 0, {282, 2}, kCell},
    {"3x2 home: an index beyond the wall highlights nothing", kHome32, PictureStyle::Home, kHomeSize, 6, 0,
        {122, 2}, kCell},

    // 4 x 3, first display at the bottom left, serial: cells 118 x 98, bars at y 49, 149, 249.
    {"4x3 home: link up on the left in its own green", kHome43Bottom, PictureStyle::Home, kHomeSize, 255, 0,
        {180, 75}, kBottomLeftLink},
    {"4x3 home: no link on the right between the top rows", kHome43Bottom, PictureStyle::Home, kHomeSize, 255,
        0, {536, 75}, kCell},
    {"4x3 home: link up on the right from the bottom row", kHome43Bottom, PictureStyle::Home, kHomeSize, 255,
        0, {536, 200}, kLink},
    {"4x3 home: no link on the left from the bottom row", kHome43Bottom, PictureStyle::Home, kHomeSize, 255,
        0, {180, 200}, kCell},
    {"4x3 home: middle bar", kHome43Bottom, PictureStyle::Home, kHomeSize, 255, 0, {260, 150}, kLink},
    // A low picture (cells 118 x 18) keeps the arrow clear of the small numbers.
    {"4x3 layout: arrow points right at the top right cell", kHome43Bottom, PictureStyle::Layout, {480, 60},
        255, 0, {405, 8}, kLink},
    {"4x3 layout: nothing right of the last centre", kHome43Bottom, PictureStyle::Layout, {480, 60}, 255, 0,
        {433, 8}, kCell},
    {"4x3 home: PC link descends from the box bottom", kHome43Bottom, PictureStyle::Home, kHomeSize, 255, 0,
        {41, 225}, kLink},
    {"4x3 home: nothing above the box", kHome43Bottom, PictureStyle::Home, kHomeSize, 255, 0, {41, 90},
        kBackground},
    {"4x3 home: PC link bar along the bottom row", kHome43Bottom, PictureStyle::Home, kHomeSize, 255, 0,
        {100, 250}, kLink},
    {"4x3 home: PC link arrow", kHome43Bottom, PictureStyle::Home, kHomeSize, 255, 0, {104, 245}, kLink},
    {"4x3 home: PC box", kHome43Bottom, PictureStyle::Home, kHomeSize, 255, 0, {5, 195}, kPcBox},

    // 4 x 2 layout, top left, LAN to the first display: no PC, the grid from x 0.
    {"4x2 layout: grid starts at the left edge", kLayout42, PictureStyle::Layout, {480, 200}, 255, 0,
        {10, 20}, kCell},
    {"4x2 layout: background in the gaps", kLayout42, PictureStyle::Layout, {480, 200}, 255, 0, {118, 20},
        kBackground},
    {"4x2 layout: chain bar", kLayout42, PictureStyle::Layout, {480, 200}, 255, 0, {200, 50}, kLink},
    {"4x2 layout: link down on the right", kLayout42, PictureStyle::Layout, {480, 200}, 255, 0, {416, 100},
        kLink},
    {"4x2 layout: no link on the left", kLayout42, PictureStyle::Layout, {480, 200}, 255, 0, {60, 100},
        kCell},
    {"4x2 layout: arrow body at the bottom left cell", kLayout42, PictureStyle::Layout, {480, 200}, 255, 0,
        {71, 143}, kLink},
    {"4x2 layout: arrow points left, not right", kLayout42, PictureStyle::Layout, {480, 200}, 255, 0,
        {47, 143}, kCell},
    {"4x2 layout: no arrow at the bottom right", kLayout42, PictureStyle::Layout, {480, 200}, 255, 0,
        {407, 146}, kCell},

    // Each display on its own LAN connection: no chain, no arrow, no PC link; the box stays.
    {"4x2 layout per display: no bar", {4, 2, kTopLeft, 2}, PictureStyle::Layout, {480, 200}, 255, 0,
        {200, 50}, kCell},
    {"4x2 layout per display: no link", {4, 2, kTopLeft, 2}, PictureStyle::Layout, {480, 200}, 255, 0,
        {416, 100}, kCell},
    {"4x2 layout per display: no arrow", {4, 2, kTopLeft, 2}, PictureStyle::Layout, {480, 200}, 255, 0,
        {71, 143}, kCell},
    {"3x2 home per display: no PC link", {3, 2, kTopLeft, 2}, PictureStyle::Home, kHomeSize, 255, 0, {41, 90},
        kBackground},
    {"3x2 home per display: no PC arrow", {3, 2, kTopLeft, 2}, PictureStyle::Home, kHomeSize, 255, 0,
        {104, 70}, kBackground},
    {"3x2 home per display: no bar", {3, 2, kTopLeft, 2}, PictureStyle::Home, kHomeSize, 255, 0, {300, 75},
        kCell},
    {"3x2 home per display: no arrow", {3, 2, kTopLeft, 2}, PictureStyle::Home, kHomeSize, 255, 0, {211, 218},
        kCell},
    {"3x2 home per display: PC box", {3, 2, kTopLeft, 2}, PictureStyle::Home, kHomeSize, 255, 0, {5, 105},
        kPcBox},

    // The PC link's colour follows the connection; the chain stays green.
    {"3x2 home LAN: PC link red", {3, 2, kTopLeft, 1}, PictureStyle::Home, kHomeSize, 255, 0, {41, 90}, kRed},
    {"3x2 home LAN: PC arrow red", {3, 2, kTopLeft, 1}, PictureStyle::Home, kHomeSize, 255, 0, {104, 70},
        kRed},
    {"3x2 home LAN: chain green", {3, 2, kTopLeft, 1}, PictureStyle::Home, kHomeSize, 255, 0, {300, 75},
        kLink},
    {"3x2 home Wi-Fi: PC link red", {3, 2, kTopLeft, 3}, PictureStyle::Home, kHomeSize, 255, 0, {41, 90},
        kRed},
    {"3x2 home Wi-Fi: chain arrow green", {3, 2, kTopLeft, 3}, PictureStyle::Home, kHomeSize, 255, 0,
        {211, 218}, kLink},
    {"3x2 home LAN bottom left: PC link red below the box", {3, 2, kBottomLeft, 1}, PictureStyle::Home,
        kHomeSize, 255, 0, {41, 210}, kRed},

    // One column: links alternate between x 99 and 95, no bars, the arrow points along the column.
    {"1x3 layout top left: first link on the right", {1, 3, kTopLeft, 0}, PictureStyle::Layout, {200, 300},
        255, 0, {96, 120}, kLink},
    {"1x3 layout top left: second link on the left", {1, 3, kTopLeft, 0}, PictureStyle::Layout, {200, 300},
        255, 0, {100, 200}, kLink},
    {"1x3 layout top left: no chain bar", {1, 3, kTopLeft, 0}, PictureStyle::Layout, {200, 300}, 255, 0,
        {150, 50}, kCell},
    {"1x3 layout top left: arrow above the last centre", {1, 3, kTopLeft, 0}, PictureStyle::Layout,
        {200, 300}, 255, 0, {89, 234}, kLink},
    {"1x3 layout top left: arrow points down", {1, 3, kTopLeft, 0}, PictureStyle::Layout, {200, 300}, 255, 0,
        {89, 264}, kCell},
    {"1x3 layout bottom left: left link in its own green", {1, 3, kBottomLeft, 0}, PictureStyle::Layout,
        {200, 300}, 255, 0, {100, 120}, kBottomLeftLink},
    {"1x3 layout bottom left: right link", {1, 3, kBottomLeft, 0}, PictureStyle::Layout, {200, 300}, 255, 0,
        {96, 200}, kLink},
    {"1x3 layout bottom left: arrow below the last centre", {1, 3, kBottomLeft, 0}, PictureStyle::Layout,
        {200, 300}, 255, 0, {89, 64}, kLink},
    {"1x3 layout bottom left: arrow points up", {1, 3, kBottomLeft, 0}, PictureStyle::Layout, {200, 300}, 255,
        0, {89, 34}, kCell},

    // One display: the PC link still reaches it.
    {"1x1 home: PC link beside the box", {1, 1, kTopLeft, 0}, PictureStyle::Home, kHomeSize, 255, 0,
        {100, 150}, kLink},
    {"1x1 home: PC box", {1, 1, kTopLeft, 0}, PictureStyle::Home, kHomeSize, 255, 0, {5, 105}, kPcBox},

    // Selection style, 3 x 2 in 300 x 200: cells 98 x 98, gaps and margins black.
    {"3x2 selection: plain cell", {3, 2, kTopLeft, 0}, PictureStyle::Selection, {300, 200}, 3, 0, {10, 10},
        kCell},
    {"3x2 selection: highlighted cell", {3, 2, kTopLeft, 0}, PictureStyle::Selection, {300, 200}, 3, 0,
        {110, 110}, kHighlight},
    {"3x2 selection: column gap black", {3, 2, kTopLeft, 0}, PictureStyle::Selection, {300, 200}, 3, 0,
        {98, 10}, kBlack},
    {"3x2 selection: row gap black", {3, 2, kTopLeft, 0}, PictureStyle::Selection, {300, 200}, 3, 0, {10, 98},
        kBlack},
    {"3x2 selection: right margin black", {3, 2, kTopLeft, 0}, PictureStyle::Selection, {301, 200}, 3, 0,
        {299, 10}, kBlack},
    {"3x2 selection: no chain", {3, 2, kTopLeft, 0}, PictureStyle::Selection, {300, 200}, 3, 0, {120, 50},
        kCell},
    {"3x2 selection all displays: every cell blue", {3, 2, kTopLeft, 0}, PictureStyle::Selection, {300, 200},
        3, 0x85, {10, 10}, kHighlight},
    {"3x2 selection all displays: far cell blue", {3, 2, kTopLeft, 0}, PictureStyle::Selection, {300, 200},
        255, 0x85, {210, 110}, kHighlight},
};

class WallPixelTest : public WallPictureTest, public ::testing::WithParamInterface<PixelCase>
{
};

TEST_P(WallPixelTest, PixelHasExpectedColour)
{
    const PixelCase& c = GetParam();
    app.settings.CommandTarget.current = c.target;
    const QImage image = paint(c.wall, c.style, c.size, c.highlighted);
    ASSERT_EQ(image.size(), c.size);
    EXPECT_EQ(hex(image.pixel(c.point)), hex(c.expected))
        << c.what << " at (" << c.point.x() << ", " << c.point.y() << ")";
}

INSTANTIATE_TEST_SUITE_P(Walls, WallPixelTest, ::testing::ValuesIn(kPixelCases), test::caseName<PixelCase>);

// ---- Every cell ---------------------------------------------------------------------------

struct CellFillCase
{
    const char* what;
    Wall wall;
    PictureStyle style;
    QSize size;
    std::int32_t highlighted;
};

const CellFillCase kCellFillCases[] = {
    {"3x2 top left, selection", {3, 2, kTopLeft, 0}, PictureStyle::Selection, {300, 200}, 4},
    {"3x2 top left, home", kHome32, PictureStyle::Home, kHomeSize, 4},
    {"4x3 bottom left, selection", {4, 3, kBottomLeft, 0}, PictureStyle::Selection, {480, 300}, 7},
    {"4x3 bottom left, home", kHome43Bottom, PictureStyle::Home, kHomeSize, 7},
    {"4x3 bottom left, layout", kHome43Bottom, PictureStyle::Layout, {480, 300}, 0},
    {"4x2 top left, selection", {4, 2, kTopLeft, 1}, PictureStyle::Selection, {480, 200}, 1},
    {"4x2 top left, layout", kLayout42, PictureStyle::Layout, {480, 200}, 1},
    {"4x2 top left per display, home", {4, 2, kTopLeft, 2}, PictureStyle::Home, kHomeSize, 6},
};

class CellFillTest : public WallPictureTest, public ::testing::WithParamInterface<CellFillCase>
{
};

// Each cell, away from its number and the links: the highlighted one blue (in the home and layout
// styles only its 3-pixel border), the others in the cell colour. Where a chain runs, its bar
// crosses every cell at half its height.
TEST_P(CellFillTest, EveryCellHasItsFill)
{
    const CellFillCase& c = GetParam();
    const QImage image = paint(c.wall, c.style, c.size, c.highlighted);
    const bool selection = c.style == PictureStyle::Selection;
    const int x0 = c.style == PictureStyle::Home ? c.size.width() / 5 : 0;
    const int cw = app.CellWidth;
    const int ch = app.CellHeight;
    for (int column = 0; column < c.wall.columns; ++column) {
        for (int row = 0; row < c.wall.rows; ++row) {
            const bool highlighted = column * c.wall.rows + row == c.highlighted;
            const int x = x0 + column * (cw + 2);
            const int y = row * (ch + 2);
            const std::string where
                = std::string(c.what) + ", column " + std::to_string(column) + " row " + std::to_string(row);
            EXPECT_EQ(
                hex(image.pixel(x + cw / 4, y + ch / 4)), hex(selection && highlighted ? kHighlight : kCell))
                << where;
            if (!selection) {
                EXPECT_EQ(hex(image.pixel(x + 1, y + 1)), hex(highlighted ? kHighlight : kCell)) << where;
                // Beside the number: the bar runs from the first cell's centre to the last one's.
                const int barX = column == c.wall.columns - 1 ? x + cw / 4 : x + 3 * cw / 4;
                EXPECT_EQ(hex(image.pixel(barX, y + ch / 2 + 1)), hex(c.wall.kind != 2 ? kLink : kCell))
                    << where;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Walls, CellFillTest, ::testing::ValuesIn(kCellFillCases), test::caseName<CellFillCase>);

// ---- Numbers ------------------------------------------------------------------------------

struct NumberCase
{
    const char* what;
    Wall wall;
    PictureStyle style;
    QSize size;
    std::int32_t highlighted;
    int gridLeft;
    int cellWidth;
    int cellHeight;
    int fontLine;
    std::vector<int> numbersByRow; // top row first, left to right
};

const NumberCase kNumberCases[] = {
    {"3x2 top left", {3, 2, kTopLeft, 2}, PictureStyle::Layout, {300, 200}, 255, 0, 98, 98, 30,
        {1, 2, 3, 6, 5, 4}},
    {"3x2 bottom left", {3, 2, kBottomLeft, 2}, PictureStyle::Layout, {300, 200}, 255, 0, 98, 98, 30,
        {6, 5, 4, 1, 2, 3}},
    {"4x3 bottom left", {4, 3, kBottomLeft, 2}, PictureStyle::Layout, {480, 300}, 255, 0, 118, 98, 30,
        {9, 10, 11, 12, 8, 7, 6, 5, 1, 2, 3, 4}},
    {"4x2 top left, chained", {4, 2, kTopLeft, 2}, PictureStyle::Layout, {480, 200}, 255, 0, 118, 98, 30,
        {1, 2, 3, 4, 8, 7, 6, 5}},
    {"3x2 selection, top right highlighted", {3, 2, kTopLeft, 0}, PictureStyle::Selection, {300, 200}, 4, 0,
        98, 98, 30, {1, 2, 3, 6, 5, 4}},
    {"3x2 selection bottom left, first display highlighted", {3, 2, kBottomLeft, 0}, PictureStyle::Selection,
        {300, 200}, 1, 0, 98, 98, 30, {6, 5, 4, 1, 2, 3}},
    // Font from the whole control's cells (60 / 2 - 2 = 28, so 26), not the narrower grid's (22).
    {"2x2 home, small", {2, 2, kTopLeft, 2}, PictureStyle::Home, {60, 400}, 255, 12, 22, 198, 26,
        {1, 2, 4, 3}},
    // Font capped by the cell height: 20 / 1 - 2 = 18.
    {"3x1 low selection", {3, 1, kTopLeft, 0}, PictureStyle::Selection, {300, 20}, 255, 0, 98, 18, 18,
        {1, 2, 3}},
};

// The band where a cell's number is drawn, as it must look: the cell's fill with the
// number centred on the cell, its top at (cell height - font line) / 2.
QImage expectedNumberBand(int width, int fontLine, QRgb fill, QRgb ink, int number)
{
    QImage band(width, fontLine, QImage::Format_RGB32);
    band.fill(QColor::fromRgb(fill));
    QPainter painter(&band);
    painter.setFont(arialFont(fontLine, true));
    painter.setPen(QColor::fromRgb(ink));
    painter.drawText(QRect(width / 2 - 1000, 0, 2000, painter.fontMetrics().height()),
        Qt::AlignHCenter | Qt::AlignTop, QString::number(number));
    return band;
}

class WallNumberTest : public WallPictureTest, public ::testing::WithParamInterface<NumberCase>
{
};

TEST_P(WallNumberTest, CellsCarryTheirMonitorIds)
{
    const NumberCase& c = GetParam();
    const QImage image = paint(c.wall, c.style, c.size, c.highlighted);
    const bool selection = c.style == PictureStyle::Selection;
    for (int row = 0; row < c.wall.rows; ++row) {
        for (int column = 0; column < c.wall.columns; ++column) {
            const bool highlighted = column * c.wall.rows + row == c.highlighted;
            const QRgb fill = selection && highlighted ? kHighlight : kCell;
            const QRgb ink = selection ? (highlighted ? kWhite : kGreyNumber) : kBlack;
            const int number = c.numbersByRow[static_cast<std::size_t>(row * c.wall.columns + column)];
            const int x = c.gridLeft + column * (c.cellWidth + 2);
            const int y = row * (c.cellHeight + 2) + (c.cellHeight - c.fontLine) / 2;
            const QImage actual = image.copy(x, y, c.cellWidth, c.fontLine);
            EXPECT_EQ(actual, expectedNumberBand(c.cellWidth, c.fontLine, fill, ink, number))
                << c.what << ": column " << column << " row " << row << " should read " << number;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Walls, WallNumberTest, ::testing::ValuesIn(kNumberCases), test::caseName<NumberCase>);

// ---- PC labels ----------------------------------------------------------------------------

struct LabelCase
{
    const char* what;
    Wall wall;
    const char* upper;
    const char* lower;
};

const LabelCase kLabelCases[] = {
    {"kind 0 top left", {3, 2, kTopLeft, 0}, "RS232", "( PC )"},
    {"kind 1 top left", {3, 2, kTopLeft, 1}, "LAN", "( PC )"},
    {"kind 2 top left", {3, 2, kTopLeft, 2}, "LAN", "( PC )"},
    {"kind 3 top left", {3, 2, kTopLeft, 3}, "Wi-Fi", "( PC )"},
    {"kind 0 bottom left", {3, 2, kBottomLeft, 0}, "( PC )", "RS232"},
    {"kind 3 bottom left", {3, 2, kBottomLeft, 3}, "( PC )", "Wi-Fi"},
};

void PrintTo(const LabelCase& c, std::ostream* os)
{
    *os << c.what;
}

class PcLabelTest : public WallPictureTest, public ::testing::WithParamInterface<LabelCase>
{
};

// The box (0, 100, 80, 100) of a 600 x 300 picture holds two 20-pixel lines centred on
// x 40, at y 130 and 150.
TEST_P(PcLabelTest, BoxShowsLinkWordAndPc)
{
    const LabelCase& c = GetParam();
    const QImage image = paint(c.wall, PictureStyle::Home, kHomeSize);

    QImage expected(80, 100, QImage::Format_RGB32);
    expected.fill(QColor::fromRgb(kPcBox));
    QPainter painter(&expected);
    painter.setFont(arialFont(20, true));
    painter.setPen(Qt::black);
    const int lineHeight = painter.fontMetrics().height();
    painter.drawText(QRect(40 - 1000, 30, 2000, lineHeight), Qt::AlignHCenter | Qt::AlignTop,
        QString::fromLatin1(c.upper));
    painter.drawText(QRect(40 - 1000, 50, 2000, lineHeight), Qt::AlignHCenter | Qt::AlignTop,
        QString::fromLatin1(c.lower));
    painter.end();

    EXPECT_EQ(image.copy(0, 100, 80, 100), expected) << c.upper << " / " << c.lower;
}

INSTANTIATE_TEST_SUITE_P(Kinds, PcLabelTest, ::testing::ValuesIn(kLabelCases), test::caseName<LabelCase>);

// ---- Command target -----------------------------------------------------------------------

struct TargetCase
{
    const char* what;
    Wall wall;
    PictureStyle style;
    std::int32_t highlighted;
    std::uint8_t before;
    std::uint8_t after;
};

const TargetCase kTargetCases[] = {
    {"3x2 top left, bottom middle", {3, 2, kTopLeft, 0}, PictureStyle::Selection, 3, 0x00, 5},
    {"3x2 bottom left, bottom middle", {3, 2, kBottomLeft, 0}, PictureStyle::Selection, 3, 0x00, 2},
    {"3x2 top left, top right", {3, 2, kTopLeft, 0}, PictureStyle::Selection, 4, 0x01, 3},
    {"2x2 top left, first cell", {2, 2, kTopLeft, 0}, PictureStyle::Selection, 0, 0x05, 1},
    {"4x3 bottom left, bottom left cell", {4, 3, kBottomLeft, 0}, PictureStyle::Selection, 2, 0x07, 1},
    {"4x3 bottom left, top left cell", {4, 3, kBottomLeft, 0}, PictureStyle::Selection, 0, 0x00, 9},
    {"4x3 bottom left, bottom right cell", {4, 3, kBottomLeft, 0}, PictureStyle::Selection, 11, 0x00, 4},
    {"4x2 top left, bottom left cell", {4, 2, kTopLeft, 0}, PictureStyle::Selection, 1, 0x00, 8},
    {"all displays keep the byte", {3, 2, kTopLeft, 0}, PictureStyle::Selection, 3, 0x85, 0x85},
    {"all displays with nothing highlighted", {3, 2, kTopLeft, 0}, PictureStyle::Selection, 255, 0x82, 0x82},
    {"nothing highlighted leaves the selection", {3, 2, kTopLeft, 0}, PictureStyle::Selection, 255, 0x04,
        0x04},
    {"an index beyond the wall leaves the selection", {3, 2, kTopLeft, 0}, PictureStyle::Selection, 6, 0x04,
        0x04},
    {"the home style never selects", {3, 2, kTopLeft, 0}, PictureStyle::Home, 3, 0x02, 0x02},
    {"the layout style never selects", {3, 2, kTopLeft, 0}, PictureStyle::Layout, 3, 0x02, 0x02},
};

class CommandTargetTest : public WallPictureTest, public ::testing::WithParamInterface<TargetCase>
{
};

TEST_P(CommandTargetTest, PaintKeepsTargetOnHighlightedDisplay)
{
    const TargetCase& c = GetParam();
    app.settings.CommandTarget.current = c.before;
    paint(c.wall, c.style, {300, 200}, c.highlighted);
    EXPECT_EQ(app.settings.CommandTarget.current, c.after) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Selections, CommandTargetTest, ::testing::ValuesIn(kTargetCases), test::caseName<TargetCase>);

TEST_F(WallPictureTest, ClearingAllThenRedrawingSelectsTheHighlightedDisplay)
{
    app.settings.CommandTarget.current = 0x85;
    paint({3, 2, kTopLeft, 0}, PictureStyle::Selection, {300, 200}, 0);
    EXPECT_EQ(app.settings.CommandTarget.current, 0x85);

    app.settings.CommandTarget.current &= 0x7F;
    picture.renderToImage();
    EXPECT_EQ(app.settings.CommandTarget.current, 1);
}

// ---- Cell geometry left by a paint and hit tests ------------------------------------------

struct HitCase
{
    const char* what;
    Wall wall;
    PictureStyle style;
    QSize size;
    int cellWidth;
    int cellHeight;
    QPoint point;
    std::int32_t cell;
};

const HitCase kHitCases[] = {
    {"home: top left cell", {3, 2, kTopLeft, 0}, PictureStyle::Home, kHomeSize, 158, 148, {120, 0}, 0},
    {"home: bottom middle cell", {3, 2, kTopLeft, 0}, PictureStyle::Home, kHomeSize, 158, 148, {285, 160}, 3},
    {"home: last pixel of the first cell", {3, 2, kTopLeft, 0}, PictureStyle::Home, kHomeSize, 158, 148,
        {277, 147}, 0},
    {"home: the PC's fifth selects nothing", {3, 2, kTopLeft, 0}, PictureStyle::Home, kHomeSize, 158, 148,
        {119, 10}, 255},
    {"home: column gap", {3, 2, kTopLeft, 0}, PictureStyle::Home, kHomeSize, 158, 148, {278, 10}, 255},
    {"home: right end beyond the narrower cells", {3, 2, kTopLeft, 0}, PictureStyle::Home, kHomeSize, 158,
        148, {598, 10}, 255},
    {"layout: whole width", {4, 2, kTopLeft, 1}, PictureStyle::Layout, {480, 200}, 118, 98, {5, 5}, 0},
    {"layout: bottom right", {4, 2, kTopLeft, 1}, PictureStyle::Layout, {480, 200}, 118, 98, {470, 190}, 7},
    {"selection 2x2: top left", {2, 2, kTopLeft, 0}, PictureStyle::Selection, {200, 200}, 98, 98, {50, 50},
        0},
    {"selection 2x2: bottom left", {2, 2, kTopLeft, 0}, PictureStyle::Selection, {200, 200}, 98, 98,
        {50, 150}, 1},
    {"selection 2x2: top right", {2, 2, kTopLeft, 0}, PictureStyle::Selection, {200, 200}, 98, 98, {150, 50},
        2},
    {"selection 2x2: bottom right", {2, 2, kTopLeft, 0}, PictureStyle::Selection, {200, 200}, 98, 98,
        {150, 150}, 3},
    {"selection 2x2: row gap", {2, 2, kTopLeft, 0}, PictureStyle::Selection, {200, 200}, 98, 98, {50, 99},
        255},
    {"selection 2x2: outside", {2, 2, kTopLeft, 0}, PictureStyle::Selection, {200, 200}, 98, 98, {250, 50},
        255},
};

class HitTest : public WallPictureTest, public ::testing::WithParamInterface<HitCase>
{
};

TEST_P(HitTest, PointMapsToCellOfThePaintedPicture)
{
    const HitCase& c = GetParam();
    paint(c.wall, c.style, c.size);
    EXPECT_EQ(app.CellWidth, c.cellWidth) << c.what;
    EXPECT_EQ(app.CellHeight, c.cellHeight) << c.what;
    EXPECT_EQ(picture.cellAt(c.point), c.cell) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Points, HitTest, ::testing::ValuesIn(kHitCases), test::caseName<HitCase>);

// ---- On screen ----------------------------------------------------------------------------

TEST_F(WallPictureTest, ScreenShowsTheOffScreenPicture)
{
    const QImage rendered = paint({4, 3, kBottomLeft, 0}, PictureStyle::Home, kHomeSize, 5);
    const QImage shown = picture.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, rendered);
}

TEST_F(WallPictureTest, TinyControlPaintsWithoutNumbersOrCells)
{
    // Cells of negative size and no room for text: the picture stays black, nothing breaks.
    const QImage image = paint({10, 10, kTopLeft, 0}, PictureStyle::Selection, {12, 12}, 0);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            ASSERT_EQ(hex(image.pixel(x, y)), hex(kBlack)) << x << ", " << y;
    }
    const QImage empty = paint({3, 2, kTopLeft, 0}, PictureStyle::Home, {0, 0});
    EXPECT_TRUE(empty.isNull());
}

TEST_F(WallPictureTest, LeftReleaseInsideReportsThePoint)
{
    setWall({3, 2, kTopLeft, 0});
    picture.resize(300, 200);
    std::vector<QPoint> released;
    QObject::connect(
        &picture, &CTestPatternCtrl::released, [&](const QPoint& pos) { released.push_back(pos); });

    const struct
    {
        Qt::MouseButton button;
        QPoint pos;
    } presses[] = {{Qt::LeftButton, {120, 40}}, {Qt::RightButton, {10, 10}}, {Qt::LeftButton, {-5, 10}}};
    for (const auto& press : presses) {
        QMouseEvent event(QEvent::MouseButtonRelease, QPointF(press.pos), QPointF(press.pos), press.button,
            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&picture, &event);
    }
    ASSERT_EQ(released.size(), 1u);
    EXPECT_EQ(released.front(), QPoint(120, 40));
}

// Not asserted: pictures of the three styles for a person to look at.
TEST_F(WallPictureTest, SavesPicturesToLookAt)
{
    const QString folder = QStringLiteral(ORDALIS_BINARY_DIR "/pictures");
    ASSERT_TRUE(QDir().mkpath(folder));
    const struct
    {
        const char* file;
        Wall wall;
        PictureStyle style;
        QSize size;
        std::int32_t highlighted;
        std::uint8_t target;
    } shots[] = {
        {"wall_selection_3x2.png", {3, 2, kTopLeft, 0}, PictureStyle::Selection, {300, 200}, 3, 0},
        {"wall_selection_all_4x3.png", {4, 3, kBottomLeft, 0}, PictureStyle::Selection, {400, 240}, 3, 0x85},
        {"wall_home_3x2_rs232.png", {3, 2, kTopLeft, 0}, PictureStyle::Home, {600, 300}, 0, 0},
        {"wall_home_4x3_bottom_lan.png", {4, 3, kBottomLeft, 1}, PictureStyle::Home, {600, 300}, 5, 0},
        {"wall_home_3x3_per_display.png", {3, 3, kTopLeft, 2}, PictureStyle::Home, {600, 300}, 255, 0},
        {"wall_home_1x3_wifi.png", {1, 3, kBottomLeft, 3}, PictureStyle::Home, {400, 300}, 255, 0},
        {"wall_layout_4x2.png", {4, 2, kTopLeft, 0}, PictureStyle::Layout, {480, 200}, 255, 0},
        {"wall_layout_5x5_bottom.png", {5, 5, kBottomLeft, 0}, PictureStyle::Layout, {480, 300}, 7, 0},
    };
    for (const auto& shot : shots) {
        app.settings.CommandTarget.current = shot.target;
        const QImage image = paint(shot.wall, shot.style, shot.size, shot.highlighted);
        EXPECT_TRUE(image.save(folder + QLatin1Char('/') + QLatin1String(shot.file))) << shot.file;
    }
}

} // namespace
} // namespace ordalis
