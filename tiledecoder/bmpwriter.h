// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tiledecoder {

// A tile's BMP: a 54-byte header, then width x height pixels of blue, green, red and alpha bytes, the top
// row first and no padding between rows. Any BMP reader reads it; the engine copies its rows straight onto
// its canvas.
inline constexpr std::size_t kBmpHeaderBytes = 54;

// The whole file for a picture of that size, the header written and the pixels left for the caller.
std::vector<std::uint8_t> bmpFile(int width, int height);

} // namespace tiledecoder
