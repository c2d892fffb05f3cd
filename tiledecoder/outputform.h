// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The two files a tile is written as, each a header followed by the pixels, the top row first and no
// padding between rows:
// - the BMP of protocol/tilebmp.h, its alpha bytes 255. The engine copies its rows straight onto its canvas.
// - the PPM: "P6\nWIDTH HEIGHT\n65535\n", then red, green and blue as big-endian 16-bit words a pixel,
//   byte for byte the layout of `ffmpeg -i TILE -pix_fmt rgb48be OUT.ppm`.
namespace tiledecoder {

// The two forms a tile is written in: the BMP every conversion reads, and the 16-bit PPM of deeper pictures.
enum class OutputForm { Bmp32, Rgb48Ppm };

std::size_t bytesPerPixel(OutputForm form);
// The highest level of a channel: 255 in the BMP, 65535 in the PPM.
std::int64_t largestLevel(OutputForm form);

// The header of the file for a picture of that size.
std::vector<std::uint8_t> fileHeader(OutputForm form, int width, int height);

} // namespace tiledecoder
