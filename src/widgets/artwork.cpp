#include "widgets/artwork.h"

#include "widgets/fonts.h"
#include "widgets/wall_colours.h"

#include <QFontMetrics>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <array>

namespace ordalis::artwork {

namespace {

constexpr QColor kInk(40, 52, 70);
constexpr QColor kHubColour(200, 200, 200);

constexpr QColor kButtonTop(252, 252, 248);
constexpr QColor kButtonBottom(230, 230, 222);
constexpr QColor kButtonEdge(196, 196, 186);
constexpr QColor kLabelGrey(150, 150, 150);
constexpr QColor kCurrentGreen(0, 150, 0);

constexpr QColor kArrowBlue(0, 96, 224);
constexpr QColor kArrowBlueEdge(0, 48, 140);
constexpr QColor kArrowGrey(168, 168, 168);
constexpr QColor kArrowGreyEdge(120, 120, 120);

struct PanelEntry
{
    PanelItem item;
    const char* label;
};

constexpr std::array<PanelEntry, kPanelItemCount> kPanelLabels {{
    {PanelItem::VideoWallSetup, "Video Wall Setup"},
    {PanelItem::VideoWallAdjustment, "Video Wall Adjustment"},
    {PanelItem::ColorAdjustment, "Color Adjustment"},
    {PanelItem::RemoteControl, "Remote Control"},
    {PanelItem::Rs232Command, "RS232 Command"},
    {PanelItem::TestPattern, "Test Pattern"},
    {PanelItem::BackUp, "Back Up"},
}};

QImage blankImage(QSize size, const QColor& background = Qt::transparent)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    return image;
}

// The largest font of at most maxLine pixels whose text fits maxWidth.
QFont fittedFont(const QString& text, int maxLine, int maxWidth, bool bold)
{
    constexpr int kSmallestLine = 6;
    for (int line = maxLine; line > kSmallestLine; --line) {
        QFont font = arialFont(line, bold);
        if (QFontMetrics(font).horizontalAdvance(text) <= maxWidth)
            return font;
    }
    return arialFont(kSmallestLine, bold);
}

// The mark: a small wall of displays with the chain running through it.
void drawMark(QPainter& painter, const QRectF& area)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal unit = area.width() / 16.0;
    painter.setPen(Qt::NoPen);
    painter.setBrush(kInk);
    painter.drawRoundedRect(area, 3 * unit, 3 * unit);

    const qreal tile = 5.5 * unit;
    const qreal gap = 1.0 * unit;
    const qreal left = area.left() + (area.width() - 2 * tile - gap) / 2;
    const qreal top = area.top() + (area.height() - 2 * tile - gap) / 2;
    painter.setBrush(kDisplayColour);
    for (int c = 0; c < 2; ++c) {
        for (int r = 0; r < 2; ++r)
            painter.drawRect(QRectF(left + c * (tile + gap), top + r * (tile + gap), tile, tile));
    }

    // Left to right along the top, back along the bottom, ending in an arrow.
    const qreal x1 = left + tile / 2;
    const qreal x2 = left + tile + gap + tile / 2;
    const qreal y1 = top + tile / 2;
    const qreal y2 = top + tile + gap + tile / 2;
    QPen chain(kChainColour, 1.3 * unit, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    painter.setPen(chain);
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(QPolygonF({{x1, y1}, {x2, y1}, {x2, y2}, {x1 + 1.5 * unit, y2}}));
    painter.setPen(Qt::NoPen);
    painter.setBrush(kChainColour);
    painter.drawPolygon(QPolygonF(
        {{x1 - 0.5 * unit, y2}, {x1 + 2 * unit, y2 - 1.8 * unit}, {x1 + 2 * unit, y2 + 1.8 * unit}}));
    painter.restore();
}

QPixmap logo(QSize size, int markSize, int wordLine)
{
    QImage image = blankImage(size);
    QPainter painter(&image);
    const int margin = (size.height() - markSize) / 2;
    drawMark(painter, QRectF(margin, margin, markSize, markSize));

    const QString word = QStringLiteral("Ordalis");
    const int textLeft = 2 * margin + markSize + 2;
    const QRect textArea(textLeft, 0, size.width() - textLeft - 1, size.height());
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(fittedFont(word, wordLine, textArea.width(), true));
    painter.setPen(kInk);
    painter.drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter, word);
    painter.end();
    return QPixmap::fromImage(image);
}

// A box with a centred label, as the connection pictures draw a PC, a hub or a display.
void drawBox(QPainter& painter, const QRect& box, const QColor& colour, const QString& label)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kInk, 1));
    painter.setBrush(colour);
    painter.drawRoundedRect(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    painter.setFont(fittedFont(label, 12, box.width() - 4, true));
    painter.setPen(Qt::black);
    painter.drawText(box, Qt::AlignCenter, label);
}

// A link between two points with its name on a small tag in the middle.
void drawLink(QPainter& painter, QPoint from, QPoint to, const QColor& colour, const QString& name,
    Qt::PenStyle style = Qt::SolidLine)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour, 3, style, Qt::FlatCap));
    painter.drawLine(from, to);
    if (name.isEmpty())
        return;
    const QFont font = fittedFont(name, 11, 40, true);
    const QFontMetrics metrics(font);
    const QPoint middle = (from + to) / 2;
    const int w = metrics.horizontalAdvance(name) + 4;
    const int h = metrics.height();
    const QRect tag(middle.x() - w / 2, middle.y() - h - 2, w, h);
    painter.setFont(font);
    painter.setPen(colour.darker(130));
    painter.drawText(tag, Qt::AlignCenter, name);
}

void drawDots(QPainter& painter, int left, int right, int y)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kInk);
    const int step = (right - left) / 4;
    for (int i = 1; i <= 3; ++i)
        painter.drawEllipse(QPoint(left + i * step, y), 1, 1);
}

// PC, first link, Display 1, chain link, Display 2, dots, Display N, in one row.
void drawChainDiagram(QPainter& painter, const QColor& firstColour, const QString& firstName,
    Qt::PenStyle firstStyle, const QString& chainName)
{
    constexpr int kMiddle = 36;
    const QRect pc(2, kMiddle - 10, 34, 20);
    const QRect first(82, kMiddle - 12, 52, 24);
    const QRect second(178, kMiddle - 12, 52, 24);
    const QRect last(246, kMiddle - 12, 52, 24);
    drawLink(painter, {pc.right() + 1, kMiddle}, {first.left(), kMiddle}, firstColour, firstName, firstStyle);
    drawLink(painter, {first.right() + 1, kMiddle}, {second.left(), kMiddle}, kChainColour, chainName);
    drawDots(painter, second.right() + 1, last.left(), kMiddle);
    drawBox(painter, pc, kPcColour, QStringLiteral("PC"));
    drawBox(painter, first, kDisplayColour, QStringLiteral("Display 1"));
    drawBox(painter, second, kDisplayColour, QStringLiteral("Display 2"));
    drawBox(painter, last, kDisplayColour, QStringLiteral("Display N"));
}

// PC to a hub over LAN, and the hub to every display over its own LAN link.
void drawHubDiagram(QPainter& painter)
{
    constexpr int kMiddle = 30;
    constexpr int kBusX = 172;
    const QRect pc(2, kMiddle - 10, 34, 20);
    const QRect hub(96, kMiddle - 9, 40, 18);
    const std::array<QRect, 3> displays {
        QRect(234, 2, 62, 16), QRect(234, 22, 62, 16), QRect(234, 42, 62, 16)};
    const std::array<QString, 3> names {
        QStringLiteral("Display 1"), QStringLiteral("Display 2"), QStringLiteral("Display N")};

    drawLink(painter, {pc.right() + 1, kMiddle}, {hub.left(), kMiddle}, kLanColour, QStringLiteral("LAN"));
    drawLink(painter, {hub.right() + 1, kMiddle}, {kBusX, kMiddle}, kLanColour, QString());
    const int busTop = displays.front().center().y();
    const int busBottom = displays.back().center().y();
    drawLink(painter, {kBusX, busTop - 1}, {kBusX, busBottom + 1}, kLanColour, QString());
    for (const QRect& display : displays) {
        const int y = display.center().y();
        drawLink(painter, {kBusX, y}, {display.left(), y}, kLanColour, QString());
    }
    painter.setFont(fittedFont(QStringLiteral("LAN"), 11, 40, true));
    painter.setPen(kLanColour.darker(130));
    painter.drawText(
        QRect(kBusX + 4, busTop + 1, displays.front().left() - kBusX - 6, busBottom - busTop - 2),
        Qt::AlignCenter, QStringLiteral("LAN"));

    drawBox(painter, pc, kPcColour, QStringLiteral("PC"));
    drawBox(painter, hub, kHubColour, QStringLiteral("Hub"));
    for (std::size_t i = 0; i < displays.size(); ++i)
        drawBox(painter, displays[i], kDisplayColour, names[i]);
}

} // namespace

QString panelLabel(PanelItem item)
{
    for (const PanelEntry& entry : kPanelLabels) {
        if (entry.item == item)
            return QString::fromLatin1(entry.label);
    }
    return QString();
}

QPixmap makerLogo()
{
    return logo(kMakerLogoSize, 28, 26);
}

QPixmap aboutLogo()
{
    return logo(kAboutLogoSize, 32, 22);
}

QPixmap panelItem(PanelItem item, bool current)
{
    constexpr int kLabelLeft = 24;
    QImage image = blankImage(kPanelItemSize, QColor(236, 233, 216));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    const QRectF button = QRectF(image.rect()).adjusted(2, 2, -2, -2);
    QLinearGradient face(button.topLeft(), button.bottomLeft());
    face.setColorAt(0, kButtonTop);
    face.setColorAt(1, kButtonBottom);
    painter.setBrush(face);
    painter.setPen(current ? QPen(kCurrentGreen, 2) : QPen(kButtonEdge, 1));
    painter.drawRoundedRect(button, 5, 5);

    if (current) {
        const qreal middle = button.center().y();
        painter.setPen(Qt::NoPen);
        painter.setBrush(kCurrentGreen);
        painter.drawPolygon(QPolygonF({{10, middle - 6}, {10, middle + 6}, {18, middle}}));
    }

    const QRect labelArea(
        kLabelLeft, 4, kPanelItemSize.width() - kLabelLeft - 6, kPanelItemSize.height() - 8);
    painter.setFont(arialFont(16, true));
    painter.setPen(current ? kCurrentGreen : kLabelGrey);
    painter.drawText(labelArea, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, panelLabel(item));
    painter.end();
    return QPixmap::fromImage(image);
}

QPixmap stepArrow(StepDirection direction, bool available)
{
    QImage image = blankImage(kStepArrowSize);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPolygonF right({{10, 4}, {10, 20}, {23, 12}});
    const QPolygonF left({{20, 4}, {20, 20}, {7, 12}});
    painter.setPen(QPen(available ? kArrowBlueEdge : kArrowGreyEdge, 1));
    painter.setBrush(available ? kArrowBlue : kArrowGrey);
    painter.drawPolygon(direction == StepDirection::Increase ? right : left);
    painter.end();
    return QPixmap::fromImage(image);
}

QPixmap connectionDiagram(ConnectionKind kind)
{
    QImage image = blankImage(kConnectionDiagramSize);
    QPainter painter(&image);
    switch (kind) {
    case ConnectionKind::Serial:
        drawChainDiagram(
            painter, kChainColour, QStringLiteral("RS232"), Qt::SolidLine, QStringLiteral("RS485"));
        break;
    case ConnectionKind::Lan:
        drawChainDiagram(painter, kLanColour, QStringLiteral("LAN"), Qt::SolidLine, QStringLiteral("RS485"));
        break;
    case ConnectionKind::LanEach:
        drawHubDiagram(painter);
        break;
    case ConnectionKind::Wireless:
        drawChainDiagram(painter, kLanColour, QStringLiteral("Wi-Fi"), Qt::DashLine, QStringLiteral("RS232"));
        break;
    }
    painter.end();
    return QPixmap::fromImage(image);
}

QPixmap applicationIconPixmap()
{
    QImage image = blankImage(kAppIconSize);
    QPainter painter(&image);
    drawMark(painter, QRectF(QPointF(0, 0), QSizeF(kAppIconSize)));
    painter.end();
    return QPixmap::fromImage(image);
}

QIcon applicationIcon()
{
    QIcon icon;
    for (int side : {16, 24, 32, 48, 64, 128}) {
        QImage image = blankImage(QSize(side, side));
        QPainter painter(&image);
        drawMark(painter, QRectF(0, 0, side, side));
        painter.end();
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

} // namespace ordalis::artwork
