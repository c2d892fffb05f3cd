// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

#include "tiledecoder/picture.h"

// The conversions libyuv has no function for, done here from the definitions: every sample is taken to its
// nominal value (limited range: 16..235 luma and 16..240 chroma scaled by 2^(bits-8); full range: 0 to
// 2^bits-1), combined with the matrix's exact coefficients and rounded once, at the end, to 8 bits.
// Chroma is taken from the nearest sample to the left and above, as libyuv does for the formats it has.
namespace tiledecoder {

// A YCbCr matrix by its luma weights of red and blue, in ten-thousandths (BT.601: 2990 and 1140).
struct LumaWeights
{
    int red = 2990;
    int blue = 1140;
};

// Each writes rows of blue, green, red and alpha (255) bytes.

// YCbCr of any chroma format and a bit depth of 8 to 16.
void convertYcbcrExactly(const Picture& picture, LumaWeights weights, std::uint8_t* bgra, std::size_t stride);

// 4:4:4 coded with the identity matrix (planes green, blue, red), always full range.
void convertGbrExactly(const Picture& picture, std::uint8_t* bgra, std::size_t stride);

// Grey deeper than 8 bits, as 8-bit grey of the same range.
void convertGreyExactly(const Picture& picture, std::uint8_t* bgra, std::size_t stride);

} // namespace tiledecoder
