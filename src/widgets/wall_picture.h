#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>

#include <cstdint>

namespace ordalis {

class CTavrinApp;

enum class PictureStyle : std::int32_t {
    Selection = 0, // the grid only; picks the display page commands go to
    Home = 1, // the PC in the left fifth, the chained grid in the rest
    Layout = 2, // the chained grid over the whole control, without the PC
};

// The wall drawn as a grid of displays, one cell per display labelled with its Monitor ID.
// Everything is drawn again at every paint from the shared state (wall size, connection,
// first display's corner, CommandTarget); the cell size it leaves in CellWidth and
// CellHeight is what the owner's hit tests use.
class CTestPatternCtrl : public QWidget
{
    Q_OBJECT

public:
    explicit CTestPatternCtrl(CTavrinApp& app, QWidget* parent = nullptr);

    void setPictureStyle(PictureStyle style) { m_style = style; }
    PictureStyle pictureStyle() const { return m_style; }

    // Index of the highlighted cell (column * rows + row), or 255 for none. An index that
    // names no cell highlights nothing. The owner redraws afterwards.
    void setHighlightedCell(std::int32_t cell) { m_highlightedCell = cell; }
    std::int32_t highlightedCell() const { return m_highlightedCell; }

    // Left edge of the grid in the control's coordinates: the home style keeps the left
    // fifth for the PC.
    int gridLeft() const;

    // The cell under a point given in the control's coordinates, or 255, with the cell
    // size of the last paint or SetCellSize.
    std::int32_t cellAt(const QPoint& pos) const;

    // Paints at once when the control is visible (so that CommandTarget follows the
    // highlighted cell before the caller goes on); a hidden control paints when shown.
    void redraw();

    // Draws the picture for a client area of the image's size, with the same effects on
    // the shared state as a paint on screen. The image is overwritten entirely.
    void paintPicture(QImage& image);
    QImage renderToImage();

signals:
    // Left-button release inside the control, in the control's coordinates.
    void released(const QPoint& pos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    CTavrinApp& m_app;
    PictureStyle m_style = PictureStyle::Selection;
    std::int32_t m_highlightedCell = 255;
};

} // namespace ordalis
