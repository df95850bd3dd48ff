#include "widgets/dialog_units.h"

#include "widgets/fonts.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QWidget>

namespace ordalis {

namespace {

// units * base / divisor, rounded to the nearest pixel.
int scaled(int units, int base, int divisor)
{
    const int product = units * base;
    return product >= 0 ? (product + divisor / 2) / divisor : -((-product + divisor / 2) / divisor);
}

} // namespace

DialogUnits::DialogUnits(const QFont& font)
{
    const QFontMetrics metrics(font);
    m_charWidth = metrics.averageCharWidth();
    m_charHeight = metrics.height();
}

int DialogUnits::x(int units) const
{
    return scaled(units, m_charWidth, 4);
}

int DialogUnits::y(int units) const
{
    return scaled(units, m_charHeight, 8);
}

QRect DialogUnits::rect(int left, int top, int width, int height) const
{
    // Each edge is converted on its own, as the platform maps a dialog rectangle.
    return QRect(QPoint(x(left), y(top)), QPoint(x(left + width) - 1, y(top + height) - 1));
}

QSize DialogUnits::size(int width, int height) const
{
    return QSize(x(width), y(height));
}

QFont DialogUnits::dialogFont()
{
    InstallFontSubstitutes();
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(10);
    return font;
}

QFont DialogUnits::boldArial(int pixels)
{
    QFont font = dialogFont();
    font.setBold(true);
    font.setPixelSize(pixels);
    return font;
}

QFont DialogUnits::boldDialogFont(int growth)
{
    return boldArial(QFontInfo(dialogFont()).pixelSize() + growth);
}

void DialogUnits::fillBackground(QWidget& widget, const QColor& colour)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, colour);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

} // namespace ordalis
