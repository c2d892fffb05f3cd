// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the pictures compiled into Vornetta: the still ones straight into the images folder, the
// frames of the two loading animations into a frames folder for the draw-images script to assemble.
//
//   draw-images <images folder> <frames folder>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPolygonF>
#include <QString>

#include "programicon.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

const QColor kComboArrowGrey(156, 156, 156);
const QColor kGlyphNormal(193, 193, 193);
const QColor kGlyphHover(244, 244, 244);
const QColor kAccent(0x3d, 0xb5, 0x57);

// GIF knows only fully opaque or fully transparent pixels. The loading animations sit on the
// translucent grey loading panel over a white window, which comes out close to this colour, so
// anti-aliased edges are blended against it before the alpha is cut.
const QColor kGifMatte(236, 236, 236);

QImage blankImage(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void beginSmooth(QPainter& painter)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
}

// Anti-aliasing leaves the edge pixels' colour a step off after un-premultiplying; every glyph is one
// flat colour, so its pixels get exactly that colour back and keep only their coverage as alpha.
void recolour(QImage& image, const QRect& area, const QColor& color)
{
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            const int alpha = qAlpha(line[x]);
            line[x] = alpha == 0 ? qRgba(0, 0, 0, 0) : qRgba(color.red(), color.green(), color.blue(), alpha);
        }
    }
}

// A downward triangle filling the box exactly: the top edge is pixel-aligned, the two slanted
// edges are anti-aliased.
void fillDownTriangle(QPainter& painter, const QRectF& box, const QColor& color)
{
    const QPolygonF triangle{box.topLeft(), box.topRight(), QPointF(box.center().x(), box.bottom())};
    painter.setBrush(color);
    painter.drawPolygon(triangle);
}

QImage drawComboArrow()
{
    QImage image = blankImage(14, 7);
    {
        QPainter painter(&image);
        beginSmooth(painter);
        fillDownTriangle(painter, QRectF(0, 0, 14, 7), kComboArrowGrey);
    }
    image = image.convertToFormat(QImage::Format_ARGB32);
    recolour(image, image.rect(), kComboArrowGrey);
    return image;
}

// One row of the title-bar sprite sheet: menu, minimise and close glyphs, each in a 26 x 26 cell.
void drawTitleGlyphs(QPainter& painter, int rowTop, const QColor& color)
{
    const int menuLeft = 5;
    const int minimiseLeft = 30;
    const int closeLeft = 55;

    fillDownTriangle(painter, QRectF(menuLeft + 3, rowTop + 13, 14, 7), color);

    painter.fillRect(QRectF(minimiseLeft + 6, rowTop + 13, 12, 3), color);

    // The strokes run past the 13 x 13 box and are clipped to it, so the X fills its box corner to
    // corner with square-cut ends.
    const QRectF closeBox(closeLeft + 6, rowTop + 8, 13, 13);
    painter.save();
    painter.setClipRect(closeBox);
    QPen pen(color, 1.7, Qt::SolidLine, Qt::FlatCap);
    painter.setPen(pen);
    const QPointF overshoot(2, 2);
    painter.drawLine(closeBox.topLeft() - overshoot, closeBox.bottomRight() + overshoot);
    painter.drawLine(closeBox.topRight() + QPointF(2, -2), closeBox.bottomLeft() + QPointF(-2, 2));
    painter.restore();
}

QImage drawTitleSprite()
{
    QImage image = blankImage(82, 60);
    {
        QPainter painter(&image);
        beginSmooth(painter);
        drawTitleGlyphs(painter, 0, kGlyphNormal);
        drawTitleGlyphs(painter, 28, kGlyphHover);
    }
    image = image.convertToFormat(QImage::Format_ARGB32);
    recolour(image, QRect(0, 0, 82, 28), kGlyphNormal);
    recolour(image, QRect(0, 28, 82, 32), kGlyphHover);
    return image;
}

QImage drawTransparentStrip()
{
    return blankImage(2, 30);
}

QColor mix(const QColor& from, const QColor& to, double t)
{
    return QColor::fromRgbF(from.redF() + (to.redF() - from.redF()) * t,
                            from.greenF() + (to.greenF() - from.greenF()) * t,
                            from.blueF() + (to.blueF() - from.blueF()) * t);
}

// Blends the partly transparent edge pixels against the matte and cuts the alpha at one half,
// which is what a GIF can hold.
QImage flattenForGif(const QImage& frame)
{
    QImage flat = frame.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < flat.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(flat.scanLine(y));
        for (int x = 0; x < flat.width(); ++x) {
            const QColor pixel = QColor::fromRgba(line[x]);
            if (pixel.alphaF() < 0.5) {
                line[x] = qRgba(0, 0, 0, 0);
                continue;
            }
            line[x] = mix(kGifMatte, QColor(pixel.red(), pixel.green(), pixel.blue()), pixel.alphaF()).rgb();
        }
    }
    return flat;
}

// The loading indicator: eight dots round a ring, the leading one green and the ones behind it
// fading to grey; each frame moves the lead on by one dot.
QImage drawDotSpinnerFrame(int frame, int frameCount)
{
    const int size = 20;
    const int dots = frameCount;
    const QPointF centre(size / 2.0, size / 2.0);
    const double ringRadius = 6.5;
    const double dotRadius = 2.1;
    const QColor tail(0xc4, 0xc8, 0xcb);

    QImage image = blankImage(size, size);
    QPainter painter(&image);
    beginSmooth(painter);
    for (int dot = 0; dot < dots; ++dot) {
        const int behind = (frame - dot + dots) % dots;
        const double angle = 2 * kPi * dot / dots - kPi / 2;
        const QPointF position = centre + QPointF(std::cos(angle), std::sin(angle)) * ringRadius;
        const double t = std::min(1.0, behind / 4.0);
        painter.setBrush(mix(kAccent, tail, t));
        painter.drawEllipse(position, dotRadius, dotRadius);
    }
    return image;
}

// A second, larger indicator: a green arc running round a pale grey track.
QImage drawArcSpinnerFrame(int frame, int frameCount)
{
    const int size = 32;
    const QRectF ring(5, 5, 22, 22);
    const double width = 3.5;

    QImage image = blankImage(size, size);
    QPainter painter(&image);
    beginSmooth(painter);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0xd6, 0xd9, 0xdb), width));
    painter.drawEllipse(ring);
    painter.setPen(QPen(kAccent, width, Qt::SolidLine, Qt::RoundCap));
    const int start = 90 - 360 * frame / frameCount;
    painter.drawArc(ring, start * 16, 100 * 16);
    return image;
}

bool save(const QImage& image, const QString& folder, const QString& name)
{
    const QString path = QDir(folder).filePath(name);
    if (image.convertToFormat(QImage::Format_ARGB32).save(path, "PNG"))
        return true;
    std::fprintf(stderr, "draw-images: cannot write %s\n", qPrintable(path));
    return false;
}

bool saveFrames(const QString& folder, const QString& name, int frameCount,
                const std::function<QImage(int, int)>& drawFrame)
{
    for (int frame = 0; frame < frameCount; ++frame) {
        const QString file = QStringLiteral("%1-%2.png").arg(name).arg(frame, 2, 10, QLatin1Char('0'));
        if (!save(flattenForGif(drawFrame(frame, frameCount)), folder, file))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: draw-images <images folder> <frames folder>\n");
        return 2;
    }
    const QString images = QString::fromLocal8Bit(argv[1]);
    const QString frames = QString::fromLocal8Bit(argv[2]);

    const bool ok = save(drawComboArrow(), images, "arrowDown.png") &&
                    save(drawTitleSprite(), images, "minclose.png") &&
                    save(drawProgramIcon(256), images, "program.png") &&
                    save(drawTransparentStrip(), images, "arrowtest.png") &&
                    saveFrames(frames, "small_loadimg2", 8, drawDotSpinnerFrame) &&
                    saveFrames(frames, "small_loadimg", 12, drawArcSpinnerFrame);
    return ok ? 0 : 1;
}
