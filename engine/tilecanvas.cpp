#include "engine/tilecanvas.h"

#include <algorithm>
#include <cstring>

#include <QImageReader>

#include "engine/tiledecoding.h"

TileCanvas::TileCanvas(const TileInfo& info)
    : info(info)
    , canvas(info.width, info.height, QImage::Format_ARGB32)
{
    if (!canvas.isNull())
        canvas.fill(0);
}

bool TileCanvas::place(const std::string& workFolder, int tileId)
{
    // Only the decoder's BMP output is read: no other image format gets to parse these files.
    QImageReader reader(QString::fromStdString(tilePicturePath(workFolder, tileId)), "bmp");
    reader.setAutoDetectImageFormat(false);
    // The size is checked from the header, before a picture of any size is read.
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        return true;
    const CellSize tile{size.width(), size.height()};
    if (!cellKnown) {
        if (!tileSizeFitsGrid(info, tile))
            return false;
        cell = tile;
        cellKnown = true;
    } else if (tile.width != cell.width || tile.height != cell.height) {
        return false;
    }

    QImage picture = reader.read();
    if (picture.isNull())
        return true;
    if (picture.size() != size)
        return false;
    // The decoder's colour pictures come as RGB32, already laid out as needed: no copy for them.
    if (picture.format() != QImage::Format_RGB32 && picture.format() != QImage::Format_ARGB32)
        picture = picture.convertToFormat(QImage::Format_ARGB32);
    if (picture.isNull())
        return true;

    const std::optional<TileRect> rect = placeTile(tileId, info, cell);
    if (!rect)
        return true;
    // Row by row: the tile lands in its cell, cut at the picture's edges.
    const size_t stride = static_cast<size_t>(canvas.bytesPerLine());
    std::uint8_t* const target = canvas.bits();
    for (int row = 0; row < rect->height; ++row)
        std::memcpy(target + static_cast<size_t>(rect->y + row) * stride + static_cast<size_t>(rect->x) * 4,
                    picture.constScanLine(row), static_cast<size_t>(rect->width) * 4);
    ++covered;
    return true;
}

std::int64_t TileCanvas::missingCells() const
{
    return cellsNeeded(info, cell) - covered;
}

QImage TileCanvas::takePicture()
{
    // Reading a BMP without an alpha mask gives every pixel alpha 255.
    for (int y = 0; y < canvas.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(canvas.scanLine(y));
        for (int x = 0; x < canvas.width(); ++x)
            line[x] |= 0xff000000u;
    }
    canvas.reinterpretAsFormat(QImage::Format_RGB32);
    return std::move(canvas);
}
