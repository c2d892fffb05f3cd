// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <QImage>

#include "engine/process/tiledecoding.h"
#include "engine/tiles/tileinfo.h"
#include "engine/tiles/tileplacement.h"

// The picture the decoded tiles are placed on, one tile at a time as each decoder ends. It checks every
// tile before it takes it: the first one that decodes sets the cell size, which must make the declared
// grid; every later one must have that size. Only the cells no tile covered are cleared, at the end: the
// canvas's memory is written once, and a batch can take it over from the picture before untouched.
class TileCanvas final
{
public:
    // A canvas of the picture's size; isNull() when there is no memory for it. Format_ARGB32 takes the
    // tiles' BMP files, Format_RGBX64 their 16-bit PPM files (tilefile.h).
    explicit TileCanvas(const TileInfo& info, QImage::Format format = QImage::Format_ARGB32);

    bool isNull() const { return canvas.isNull(); }

    // Reads the decoded picture of tile number tileId and places it. True when it was placed, or when
    // there is no readable picture (the cell stays empty); false when its size refuses the file.
    bool place(const std::string& workFolder, int tileId, const TileSet& set = {});

    // Clears the cells no tile covered (all zero, as an empty cell has always been) and says how many
    // there were. Call once, after the last tile.
    std::int64_t finish();

    // The placed picture, in the canvas's format, rows back to back (32- and 64-bit rows need no padding).
    QImage takePicture() { return std::move(canvas); }

private:
    const TileInfo& info;
    QImage canvas;
    CellSize cell;
    bool cellKnown = false;
    // Which cells a tile covered, row by row; sized once the cell size is known.
    std::vector<bool> covered;
    std::int64_t cellColumns = 0;
    int pixelBytes = 4;
};
