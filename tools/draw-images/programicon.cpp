// SPDX-License-Identifier: GPL-3.0-or-later
#include "programicon.h"

#include <cmath>

#include <QColor>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace {

constexpr double kPi = 3.14159265358979323846;
// The design's own size: every coordinate below is in these units.
constexpr double kDesignSize = 256;

const QColor kAccent(0x3d, 0xb5, 0x57);
const QColor kAccentDark(0x2e, 0x9a, 0x47);
const QColor kAccentLight(0x8f, 0xd6, 0xa0);
const QColor kTileTop(0x4c, 0xc4, 0x66);
const QColor kSky(0xe3, 0xf5, 0xe8);
const QColor kSun(0xf6, 0xc3, 0x4a);
const QColor kShadow(0, 0, 0, 45);

// Design units to pixels for one size.
class Grid
{
public:
    explicit Grid(int size)
        : scale(size / kDesignSize)
    {}

    double at(double v) const { return v * scale; }
    // A length that stays at least one pixel wide.
    double thick(double v) const { return std::max(1.0, std::round(v * scale)); }
    // A design rectangle with each edge moved to the nearest whole pixel.
    QRectF box(double x, double y, double width, double height) const
    {
        const double left = std::round(x * scale);
        const double top = std::round(y * scale);
        return QRectF(left, top, std::round((x + width) * scale) - left,
                      std::round((y + height) * scale) - top);
    }

private:
    double scale;
};

// Two arrows chasing each other round a circle: the "convert" badge.
void drawConvertArrows(QPainter& painter, const QPointF& centre, double radius, double width,
                       const QColor& color)
{
    const QRectF circle(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    const double arcSpan = 115;
    const double headLength = width * 1.25;
    const double headHalfWidth = width * 1.05;
    for (const double startAngle : {25.0, 205.0}) {
        painter.setPen(QPen(color, width, Qt::SolidLine, Qt::FlatCap));
        painter.setBrush(Qt::NoBrush);
        painter.drawArc(circle, qRound(startAngle * 16), qRound(arcSpan * 16));

        // Angles run counter-clockwise from three o'clock with y pointing down, as drawArc's do.
        const double end = (startAngle + arcSpan) * kPi / 180;
        const QPointF outward(std::cos(end), -std::sin(end));
        const QPointF along(-std::sin(end), -std::cos(end));
        const QPointF base = centre + outward * radius;
        const QPolygonF head{base + outward * headHalfWidth, base + along * headLength,
                             base - outward * headHalfWidth};
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        painter.drawPolygon(head);
    }
}

// The print's picture: a pale sky, the sun from 24 pixels up, and two green hills.
void drawLandscape(QPainter& painter, const Grid& grid, const QRectF& picture, int size)
{
    QPainterPath shape;
    shape.addRoundedRect(picture, grid.at(6), grid.at(6));
    painter.save();
    painter.setClipPath(shape);
    painter.setBrush(kSky);
    painter.drawRect(picture);
    // The hills are laid out on the design's 122 x 94 picture and stretched over this one.
    const double across = picture.width() / 122;
    const double up = picture.height() / 94;
    const auto point = [&](double x, double height) {
        return QPointF(picture.left() + x * across, picture.bottom() - height * up);
    };
    if (size >= 24) {
        painter.setBrush(kSun);
        const double sunRadius = std::max(1.5, 11 * across);
        painter.drawEllipse(point(96, 72), sunRadius, sunRadius);
    }
    painter.setBrush(kAccentLight);
    painter.drawPolygon(
        QPolygonF{point(0, 0), point(48, 56), point(78, 28), point(96, 44), point(122, 12), point(122, 0)});
    painter.setBrush(kAccent);
    painter.drawPolygon(QPolygonF{point(-4, 0), point(30, 38), point(72, 0)});
    painter.restore();
}

} // namespace

QImage drawProgramIcon(int size)
{
    const Grid grid(size);
    const bool detailed = size >= 48;

    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);

    // Tile: a rounded square in the green of the program's buttons, a touch lighter at the top.
    const QRectF tile = grid.box(16, 16, 224, 224);
    QLinearGradient tileGradient(tile.topLeft(), tile.bottomLeft());
    tileGradient.setColorAt(0, kTileTop);
    tileGradient.setColorAt(1, kAccentDark);
    painter.setBrush(tileGradient);
    painter.drawRoundedRect(tile, grid.at(48), grid.at(48));

    // Photo: a white print with a landscape, up and to the left of the badge; without the badge it
    // takes the middle of the tile.
    const QRectF print = detailed ? grid.box(42, 52, 146, 118) : grid.box(40, 56, 176, 144);
    if (detailed) {
        painter.setBrush(kShadow);
        painter.drawRoundedRect(print.translated(0, grid.at(6)), grid.at(14), grid.at(14));
    }
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(print, grid.at(14), grid.at(14));
    const double border = grid.thick(12);
    drawLandscape(painter, grid, print.adjusted(border, border, -border, -border), size);

    if (!detailed)
        return image;
    // Badge: a white disc over the print's corner holding the conversion arrows.
    const QPointF badgeCentre(grid.at(176), grid.at(174));
    const double badgeRadius = grid.at(46);
    painter.setBrush(kShadow);
    painter.drawEllipse(badgeCentre + QPointF(0, grid.at(5)), badgeRadius, badgeRadius);
    painter.setBrush(Qt::white);
    painter.drawEllipse(badgeCentre, badgeRadius, badgeRadius);
    drawConvertArrows(painter, badgeCentre, grid.at(24), grid.at(9), kAccent);
    return image;
}
