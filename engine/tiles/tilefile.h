// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <QImage>
#include <QSize>

class QImageReader;

// A decoded tile's BMP file, read as 32-bit pixels in the byte order blue, green, red, alpha. Our tile
// decoder's files (32 bits, top row first) are read straight into memory; any other BMP, such as the 24-bit
// ones the system's ffmpeg writes, through Qt's BMP reader. Only BMP is ever parsed: no other image format
// gets to read these files. A deep tile (a path ending in .ppm) is the 16-bit PPM both decoders write for
// `-pix_fmt rgb48be`, read as QImage::Format_RGBX64 pixels: red, green, blue and 65535 in native 16-bit
// words.
class TileFile final
{
public:
    explicit TileFile(const std::string& path);
    ~TileFile();
    TileFile(const TileFile&) = delete;
    TileFile& operator=(const TileFile&) = delete;

    // The size its header gives, read before any pixel; not valid when it is no readable BMP.
    QSize size() const { return headerSize; }

    // Reads the pixels; false when they cannot be read or are not of the size the header gave.
    bool readPixels();
    // A row of width() pixels, after readPixels().
    const std::uint8_t* row(int y) const;
    // 4, or 8 for a deep tile.
    int bytesPerPixel() const { return deep ? 8 : 4; }

private:
    void openPpm();

    QSize headerSize;
    bool deep = false;
    std::uint64_t ppmHeaderBytes = 0;
    int descriptor = -1;                  // our decoder's file, read straight
    std::unique_ptr<QImageReader> reader; // any other BMP
    QImage picture;
};
