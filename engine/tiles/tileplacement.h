// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

#include "engine/tiles/tileinfo.h"

// Where the tiles of a grid land on the picture. Tile number n (counted from 1) sits in grid row
// (n - 1) / cols and column (n - 1) % cols, in cells of one size; the last row and column are cut at
// the picture's edges. All arithmetic is 64-bit, so absurd grids neither overflow nor take long.

// The phones' tile edge, and the cell size when no tile decodes.
inline constexpr int kDefaultTileEdge = 512;

struct CellSize
{
    int width = kDefaultTileEdge;
    int height = kDefaultTileEdge;
};

// A tile's area on the picture, already cut at the picture's edges.
struct TileRect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The area of tile number n, or nothing when n is not in the grid or its cell lies off the picture.
std::optional<TileRect> placeTile(std::int64_t tileNumber, const TileInfo& info, CellSize cell);

// Whether tiles of this size make the declared grid: columns x tile width covers the picture's width with
// less than one tile to spare, and rows x tile height its height. Tiles of any other size are not the
// file's: they would leave holes, or decode pixels far beyond the picture.
bool tileSizeFitsGrid(const TileInfo& info, CellSize tile);

// How many cells the picture needs: ceil(width / cell width) x ceil(height / cell height).
std::int64_t cellsNeeded(const TileInfo& info, CellSize cell);
