#pragma once

#include <string>

#include "tiledecoder/picture.h"

namespace tiledecoder {

// What the tile's BMP holds: 24-bit BGR for colour pictures, 8-bit grey for monochrome ones, the two
// formats the system's ffmpeg writes for these pictures.
enum class OutputFormat { Bgr24, Gray8 };

struct OutputImage
{
    int width = 0;
    int height = 0;
    OutputFormat format = OutputFormat::Bgr24;
    PixelBuffer pixels;
};

struct ConvertResult
{
    OutputImage image;
    std::string error; // empty on success
};

// Converts a decoded picture to 8-bit BGR (or grey) with the stream's matrix and range, read as the system's
// ffmpeg reads them. libyuv converts the common formats; the rest is converted exactly (exactconversion.h).
// Chroma is never interpolated: each chroma sample covers the luma samples it was taken from, as libyuv and
// libheif's converter have it.
ConvertResult convertPicture(const Picture& picture);

} // namespace tiledecoder
