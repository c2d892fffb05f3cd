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

// Converts a decoded picture the way `ffmpeg -i TILE OUT.bmp` does, with libswscale and the same choices:
// the same source pixel format for each chroma format, bit depth, range and matrix, the same scaler setup,
// the stream's matrix and range, so that both give the same pixels.
ConvertResult convertPicture(const Picture& picture);

} // namespace tiledecoder
