#pragma once

#include <QColor>
#include <QFont>
#include <QRect>

class QWidget;

namespace ordalis {

// Converts dialog units of a dialog font to pixels: one x unit is a quarter of the font's
// average character width, one y unit an eighth of its height; results are rounded.
class DialogUnits
{
public:
    explicit DialogUnits(const QFont& font);

    int x(int units) const;
    int y(int units) const;
    QRect rect(int x, int y, int width, int height) const;
    QSize size(int width, int height) const;

    // The 10-point Arial font the pages and dialogs are laid out in.
    static QFont dialogFont();
    // Bold Arial of this pixel size.
    static QFont boldArial(int pixels);
    // Bold Arial 'growth' pixels taller than the dialog font (titles "N units taller").
    static QFont boldDialogFont(int growth = 0);

    // Fills the widget's background with this colour.
    static void fillBackground(QWidget& widget, const QColor& colour);

private:
    int m_charWidth;
    int m_charHeight;
};

} // namespace ordalis
