// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/tiles/tileplacement.h"

#include <algorithm>

namespace {

std::int64_t ceilDiv(std::int64_t a, std::int64_t b)
{
    return (a + b - 1) / b;
}

} // namespace

std::optional<TileRect> placeTile(std::int64_t tileNumber, const TileInfo& info, CellSize cell)
{
    if (info.rows < 1 || info.cols < 1 || info.width < 1 || info.height < 1 || cell.width < 1 ||
        cell.height < 1)
        return std::nullopt;
    const std::int64_t rows = info.rows;
    const std::int64_t cols = info.cols;
    if (tileNumber < 1 || tileNumber > rows * cols)
        return std::nullopt;
    const std::int64_t x = (tileNumber - 1) % cols * cell.width;
    const std::int64_t y = (tileNumber - 1) / cols * cell.height;
    if (x >= info.width || y >= info.height)
        return std::nullopt;
    TileRect rect;
    rect.x = static_cast<int>(x);
    rect.y = static_cast<int>(y);
    rect.width = static_cast<int>(std::min<std::int64_t>(cell.width, info.width - x));
    rect.height = static_cast<int>(std::min<std::int64_t>(cell.height, info.height - y));
    return rect;
}

bool tileSizeFitsGrid(const TileInfo& info, CellSize tile)
{
    if (info.rows < 1 || info.cols < 1 || info.width < 1 || info.height < 1 || tile.width < 1 ||
        tile.height < 1)
        return false;
    const std::int64_t coveredWidth = std::int64_t(info.cols) * tile.width;
    const std::int64_t coveredHeight = std::int64_t(info.rows) * tile.height;
    return coveredWidth >= info.width && coveredWidth - tile.width < info.width &&
           coveredHeight >= info.height && coveredHeight - tile.height < info.height;
}

std::int64_t cellsNeeded(const TileInfo& info, CellSize cell)
{
    if (info.width < 1 || info.height < 1 || cell.width < 1 || cell.height < 1)
        return 0;
    return ceilDiv(info.width, cell.width) * ceilDiv(info.height, cell.height);
}
