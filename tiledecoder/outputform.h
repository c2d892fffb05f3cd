// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "protocol/tilebmp.h"
#include "tiledecoder/arguments.h"

// The two files a tile is written as, each a header followed by the pixels, the top row first and no
// padding between rows:
// - the BMP of protocol/tilebmp.h, its alpha bytes 255. The engine copies its rows straight onto its canvas.
// - the PPM: "P6\nWIDTH HEIGHT\n65535\n", then red, green and blue as big-endian 16-bit words a pixel,
//   byte for byte the layout of `ffmpeg -i TILE -pix_fmt rgb48be OUT.ppm`.
namespace tiledecoder {

std::size_t bytesPerPixel(OutputForm form);

// The header of the file for a picture of that size.
std::vector<std::uint8_t> fileHeader(OutputForm form, int width, int height);

} // namespace tiledecoder
