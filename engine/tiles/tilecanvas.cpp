// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/tiles/tilecanvas.h"

#include <algorithm>
#include <cstring>

#include "engine/picture/picturememory.h"
#include "engine/process/tiledecoding.h"
#include "engine/tiles/tilefile.h"

TileCanvas::TileCanvas(const TileInfo& info)
    : info(info)
    , canvas(newPicture(info.width, info.height, QImage::Format_ARGB32))
{}

bool TileCanvas::place(const std::string& workFolder, int tileId)
{
    TileFile file(tilePicturePath(workFolder, tileId));
    // The size is checked from the header, before a picture of any size is read.
    const QSize size = file.size();
    if (!size.isValid() || size.isEmpty())
        return true;
    const CellSize tile{size.width(), size.height()};
    if (!cellKnown) {
        if (!tileSizeFitsGrid(info, tile))
            return false;
        cell = tile;
        cellKnown = true;
        cellColumns = (info.width + cell.width - 1) / cell.width;
        covered.assign(static_cast<size_t>(cellsNeeded(info, cell)), false);
    } else if (tile.width != cell.width || tile.height != cell.height) {
        return false;
    }

    const std::optional<TileRect> rect = placeTile(tileId, info, cell);
    if (!rect || !file.readPixels())
        return true;
    // Row by row: the tile lands in its cell, cut at the picture's edges.
    const size_t stride = static_cast<size_t>(canvas.bytesPerLine());
    std::uint8_t* const target = canvas.bits();
    for (int row = 0; row < rect->height; ++row)
        std::memcpy(target + static_cast<size_t>(rect->y + row) * stride + static_cast<size_t>(rect->x) * 4,
                    file.row(row), static_cast<size_t>(rect->width) * 4);
    covered[static_cast<size_t>(rect->y / cell.height * cellColumns + rect->x / cell.width)] = true;
    return true;
}

std::int64_t TileCanvas::finish()
{
    if (!cellKnown) {
        canvas.fill(0);
        return cellsNeeded(info, cell);
    }
    std::int64_t missing = 0;
    const size_t stride = static_cast<size_t>(canvas.bytesPerLine());
    for (size_t index = 0; index < covered.size(); ++index) {
        if (covered[index])
            continue;
        ++missing;
        const int x = static_cast<int>(std::int64_t(index) % cellColumns) * cell.width;
        const int y = static_cast<int>(std::int64_t(index) / cellColumns) * cell.height;
        const int width = std::min(cell.width, info.width - x);
        const int height = std::min(cell.height, info.height - y);
        for (int row = 0; row < height; ++row)
            std::memset(canvas.bits() + static_cast<size_t>(y + row) * stride + static_cast<size_t>(x) * 4, 0,
                        static_cast<size_t>(width) * 4);
    }
    return missing;
}
