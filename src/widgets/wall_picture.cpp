#include "widgets/wall_picture.h"

#include "app/ctavrin_app.h"
#include "app/wall_geometry.h"
#include "widgets/fonts.h"
#include "widgets/wall_colours.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <array>

namespace ordalis {

namespace {

constexpr QColor kHighlightColour(131, 168, 228);
constexpr QColor kSelectionNumberColour(100, 100, 100);
constexpr QColor kBackgroundColour(236, 233, 216);
// The left-side links of a chain that starts at the bottom left have their own shade.
constexpr QColor kBottomStartLeftLinkColour(100, 192, 100);

constexpr int kLabelFontHeight = 20;
constexpr int kNumberFontCap = 30;

bool chained(const CTavrinApp& app)
{
    return app.ConnectionKind != static_cast<std::uint8_t>(ConnectionKind::LanEach);
}

const char* linkWord(std::uint8_t connectionKind)
{
    switch (static_cast<ConnectionKind>(connectionKind)) {
    case ConnectionKind::Serial:
        return "RS232";
    case ConnectionKind::Wireless:
        return "Wi-Fi";
    case ConnectionKind::Lan:
    case ConnectionKind::LanEach:
        break;
    }
    return "LAN";
}

// A rectangle of no width or height paints nothing, whatever its sign.
void fill(QPainter& painter, int x, int y, int width, int height, const QColor& colour)
{
    if (width > 0 && height > 0)
        painter.fillRect(x, y, width, height, colour);
}

void fillTriangle(QPainter& painter, QPoint a, QPoint b, QPoint c, const QColor& colour)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPolygon(QPolygon({a, b, c}));
    painter.setBrush(Qt::NoBrush);
}

// Text centred horizontally on x with its top at y, on a transparent background.
void drawText(QPainter& painter, int x, int y, const QString& text, const QColor& colour)
{
    constexpr int kHalfSpan = 1000;
    painter.setPen(colour);
    const int height = painter.fontMetrics().height();
    painter.drawText(QRect(x - kHalfSpan, y, 2 * kHalfSpan, height), Qt::AlignHCenter | Qt::AlignTop, text);
}

// Line height of the number font for the cell size SetCellSize left for the whole control;
// 0 when the cells are too small to hold any text.
int numberFontHeight(const CTavrinApp& app)
{
    int height = app.CellWidth > 2 ? app.CellWidth - 2 : app.CellWidth;
    height = std::min({height, kNumberFontCap, static_cast<int>(app.CellHeight)});
    return std::max(height, 0);
}

class PictureDrawer
{
public:
    PictureDrawer(CTavrinApp& app, QPainter& painter, int width, int height, std::int32_t highlightedCell)
        : m_app(app),
          m_painter(painter),
          m_width(width),
          m_height(height),
          m_columns(app.WallColumns),
          m_rows(app.WallRows),
          m_highlightedCell(highlightedCell),
          m_numberHeight(numberFontHeight(app))
    {
        if (m_numberHeight > 0)
            m_numberFont = arialFont(m_numberHeight, true);
    }

    void drawSelection();
    void drawChained(bool withPc);

private:
    void drawChainLinks(int x0, int cw, int ch);
    void drawLastDisplayArrow(int x0, int cw, int ch);
    void drawPc(int x0, int ch);
    void drawNumber(int x, int y, std::int32_t monitorId, const QColor& colour);

    CTavrinApp& m_app;
    QPainter& m_painter;
    const int m_width;
    const int m_height;
    const int m_columns;
    const int m_rows;
    const std::int32_t m_highlightedCell;
    const int m_numberHeight;
    QFont m_numberFont;
};

void PictureDrawer::drawNumber(int x, int y, std::int32_t monitorId, const QColor& colour)
{
    if (m_numberHeight <= 0)
        return;
    m_painter.setFont(m_numberFont);
    drawText(m_painter, x, y, QString::number(monitorId), colour);
}

void PictureDrawer::drawSelection()
{
    // The gaps and margins keep the picture's black.
    const int cw = m_app.CellWidth;
    const int ch = m_app.CellHeight;
    std::uint8_t& target = m_app.settings.CommandTarget.current;
    for (int c = 0; c < m_columns; ++c) {
        for (int i = 0; i < m_rows; ++i) {
            const std::int32_t n = PlaceToMonitorId(m_app, c + 1, i + 1);
            const bool allDisplays = (target & 0x80) != 0;
            const bool highlighted = c * m_rows + i == m_highlightedCell || allDisplays;
            const int x = c * (cw + 2);
            const int y = i * (ch + 2);
            if (highlighted) {
                fill(m_painter, x, y, cw, ch, kHighlightColour);
                // Painting the highlighted display is what makes it the commands' target.
                if (!allDisplays)
                    target = static_cast<std::uint8_t>(n);
            } else {
                fill(m_painter, x, y, cw, ch, kDisplayColour);
            }
            drawNumber(x + cw / 2, y + (ch - m_numberHeight) / 2, n,
                highlighted ? QColor(Qt::white) : kSelectionNumberColour);
        }
    }
}

void PictureDrawer::drawChained(bool withPc)
{
    const int x0 = withPc ? m_width / 5 : 0;
    const int gridWidth = m_width - x0;
    const int cw = gridWidth / m_columns - 2;
    const int ch = m_height / m_rows - 2;
    // Hit tests on this picture must see the narrower cells.
    m_app.CellWidth = cw;

    fill(m_painter, 0, 0, m_width, m_height, kBackgroundColour);
    for (int r = 0; r < m_rows; ++r) {
        for (int c = 0; c < m_columns; ++c) {
            const int x = x0 + c * (cw + 2);
            const int y = r * (ch + 2);
            if (c * m_rows + r == m_highlightedCell) {
                fill(m_painter, x, y, cw, ch, kHighlightColour);
                fill(m_painter, x + 3, y + 3, cw - 6, ch - 6, kDisplayColour);
            } else {
                fill(m_painter, x, y, cw, ch, kDisplayColour);
            }
        }
        if (!chained(m_app))
            continue;
        if (m_columns > 1)
            fill(m_painter, x0 + cw / 2, r * (ch + 2) + ch / 2, (m_columns - 1) * (cw + 2), 4, kChainColour);
        if (r > 0) {
            const int top = (r - 1) * (ch + 2) + ch / 2;
            const int leftX = x0 + cw / 2;
            const int rightX = x0 + (m_columns - 1) * (cw + 2) + cw / 2 - 4;
            if (m_app.FirstDisplayAtBottom == 0) {
                fill(m_painter, r % 2 == 0 ? leftX : rightX, top, 4, ch + 2, kChainColour);
            } else if ((m_rows - r) % 2 == 0) {
                fill(m_painter, leftX, top, 4, ch + 2, kBottomStartLeftLinkColour);
            } else {
                fill(m_painter, rightX, top, 4, ch + 2, kChainColour);
            }
        }
    }

    if (chained(m_app) && m_columns * m_rows > 1)
        drawLastDisplayArrow(x0, cw, ch);

    for (int c = 0; c < m_columns; ++c) {
        for (int i = 0; i < m_rows; ++i) {
            drawNumber(x0 + c * (cw + 2) + cw / 2, i * (ch + 2) + (ch - m_numberHeight) / 2,
                PlaceToMonitorId(m_app, c + 1, i + 1), Qt::black);
        }
    }

    if (withPc)
        drawPc(x0, ch);
}

void PictureDrawer::drawLastDisplayArrow(int x0, int cw, int ch)
{
    const bool atBottom = m_app.FirstDisplayAtBottom != 0;
    const int k = atBottom ? 0 : m_rows - 1;
    const int yk = k * (ch + 2) + ch / 2;
    const int xl = x0 + cw / 2;
    const int xr = x0 + (m_columns - 1) * (cw + 2) + cw / 2;
    if (m_columns == 1 && !atBottom)
        fillTriangle(m_painter, {xl - 2, yk + 4}, {xl - 12, yk - 16}, {xl + 8, yk - 16}, kChainColour);
    else if (m_columns == 1)
        fillTriangle(m_painter, {xl - 2, yk - 4}, {xl - 12, yk + 16}, {xl + 8, yk + 16}, kChainColour);
    else if (m_rows % 2 == 0)
        fillTriangle(m_painter, {xl - 4, yk}, {xl + 16, yk - 10}, {xl + 16, yk + 10}, kChainColour);
    else
        fillTriangle(m_painter, {xr + 4, yk + 2}, {xr - 16, yk - 8}, {xr - 16, yk + 12}, kChainColour);
}

void PictureDrawer::drawPc(int x0, int ch)
{
    const int w = m_width;
    const int h = m_height;
    const QColor linkColour = m_app.ConnectionKind == static_cast<std::uint8_t>(ConnectionKind::Serial)
        ? kChainColour
        : kLanColour;
    const int xl = w / 15;
    const bool atBottom = m_app.FirstDisplayAtBottom != 0;

    if (chained(m_app)) {
        if (!atBottom) {
            fill(m_painter, xl, ch / 2, 4, h / 3 - ch / 2, linkColour);
            fill(m_painter, xl, ch / 2, 2 * w / 15 - 4, 4, linkColour);
            const int tipY = ch / 2 + 2;
            fillTriangle(m_painter, {x0, tipY}, {x0 - 20, tipY - 10}, {x0 - 20, tipY + 10}, linkColour);
        } else {
            const int yb = (ch + 2) * m_rows - ch / 2;
            fill(m_painter, xl, 2 * h / 3, 4, yb - 2 * h / 3, linkColour);
            fill(m_painter, xl, yb - 2, 2 * w / 15 - 4, 4, linkColour);
            fillTriangle(m_painter, {x0, yb}, {x0 - 20, yb - 10}, {x0 - 20, yb + 10}, linkColour);
        }
    }

    fill(m_painter, 0, h / 3, 2 * w / 15, h / 3, kPcColour);

    // The link word sits on the side where the link leaves the box.
    const QString word = QString::fromLatin1(linkWord(m_app.ConnectionKind));
    const QString pc = QStringLiteral("( PC )");
    m_painter.setFont(arialFont(kLabelFontHeight, true));
    drawText(m_painter, xl, h / 2 - 20, atBottom ? pc : word, Qt::black);
    drawText(m_painter, xl, h / 2, atBottom ? word : pc, Qt::black);
}

} // namespace

CTestPatternCtrl::CTestPatternCtrl(CTavrinApp& app, QWidget* parent) : QWidget(parent), m_app(app)
{
    // Every pixel comes from the off-screen picture.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int CTestPatternCtrl::gridLeft() const
{
    return m_style == PictureStyle::Home ? width() / 5 : 0;
}

std::int32_t CTestPatternCtrl::cellAt(const QPoint& pos) const
{
    return CellAtPoint(m_app, gridLeft(), 0, pos);
}

void CTestPatternCtrl::redraw()
{
    if (isVisible())
        repaint();
    else
        update();
}

void CTestPatternCtrl::paintPicture(QImage& image)
{
    const int w = image.width();
    const int h = image.height();
    SetCellSize(m_app, w, h);
    if (image.isNull())
        return;
    image.fill(Qt::black);
    // A wall without columns or rows has nothing to draw (and nothing to divide by).
    if (m_app.WallColumns == 0 || m_app.WallRows == 0)
        return;

    QPainter painter(&image);
    PictureDrawer drawer(m_app, painter, w, h, m_highlightedCell);
    switch (m_style) {
    case PictureStyle::Selection:
        drawer.drawSelection();
        break;
    case PictureStyle::Home:
        drawer.drawChained(true);
        break;
    case PictureStyle::Layout:
        drawer.drawChained(false);
        break;
    }
}

QImage CTestPatternCtrl::renderToImage()
{
    QImage image(size(), QImage::Format_RGB32);
    paintPicture(image);
    return image;
}

void CTestPatternCtrl::paintEvent(QPaintEvent*)
{
    // One copy of a finished picture: redraws after every click never flicker.
    const QImage picture = renderToImage();
    QPainter(this).drawImage(0, 0, picture);
}

void CTestPatternCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit released(event->position().toPoint());
    QWidget::mouseReleaseEvent(event);
}

} // namespace ordalis
