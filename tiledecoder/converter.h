// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tiledecoder/picture.h"

namespace tiledecoder {

struct ConvertResult
{
    std::vector<std::uint8_t> bmp; // the whole file (bmpwriter.h)
    std::string error;             // empty on success
};

// Converts a decoded picture to the tile's BMP file, blue, green, red and alpha 255, with the stream's
// matrix and range, read as the system's ffmpeg reads them; grey pictures as grey. libyuv converts the
// common formats; the rest is converted exactly (exactconversion.h). Chroma is never interpolated: each
// chroma sample covers the luma samples it was taken from, as libyuv and libheif's converter have it.
ConvertResult convertPicture(const Picture& picture);

} // namespace tiledecoder
