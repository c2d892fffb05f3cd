#pragma once

#include <cstdint>
#include <string>

#include <QImage>

#include "engine/tileinfo.h"
#include "engine/tileplacement.h"

// The picture the decoded tiles are placed on, one tile at a time as each decoder ends. It checks every
// tile before it takes it: the first one that decodes sets the cell size, which must make the declared
// grid; every later one must have that size.
class TileCanvas final
{
public:
    // An all-zero canvas of the picture's size; isNull() when there is no memory for it.
    explicit TileCanvas(const TileInfo& info);

    bool isNull() const { return canvas.isNull(); }

    // Reads the decoded picture of tile number tileId and places it. True when it was placed, or when
    // there is no readable picture (the cell stays empty); false when its size refuses the file.
    bool place(const std::string& workFolder, int tileId);

    // How many cells got no tile covering them.
    std::int64_t missingCells() const;

    // The canvas's pixels, rows back to back (32-bit rows need no padding), for the BMP.
    const std::uint8_t* pixels() const { return canvas.constBits(); }

    // The placed picture as reading the BMP back gives it: Format_RGB32, alpha 255 everywhere.
    QImage takePicture();

private:
    const TileInfo& info;
    QImage canvas;
    CellSize cell;
    bool cellKnown = false;
    std::int64_t covered = 0;
};
