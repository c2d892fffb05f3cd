#pragma once

#include <cstdint>
#include <vector>

#include "tiledecoder/converter.h"

namespace tiledecoder {

// The whole BMP file for an image, laid out as ffmpeg's BMP encoder lays it out: a 40-byte info header,
// rows bottom-up padded to four bytes, 24 bits per pixel, or 8 bits with a 256-step grey palette.
std::vector<std::uint8_t> encodeBmp(const OutputImage& image);

} // namespace tiledecoder
