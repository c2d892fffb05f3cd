// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

namespace tiledecoder {

// One plane of a decoded picture, read where the decoder keeps it.
struct Plane
{
    const std::uint8_t* data = nullptr;
    std::size_t stride = 0;

    const std::uint8_t* row(std::size_t y) const { return data + y * stride; }
};

// The first picture of a stream as the decoder gave it: planes of 8-bit samples, or of 16-bit little-endian
// samples when the bit depth is above 8, with the conformance window already cut off.
struct Picture
{
    int width = 0;
    int height = 0;
    int chromaFormat = 0; // 0 monochrome, 1 4:2:0, 2 4:2:2, 3 4:4:4
    int bitDepth = 8;
    int matrixCoefficients = 2; // as coded in the video usability information; 2 is "unspecified"
    bool fullRange = false;
    int planeCount = 0;
    Plane planes[3];
};

} // namespace tiledecoder
