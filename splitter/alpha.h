// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "splitter/container.h"
#include "splitter/failure.h"
#include "splitter/source.h"

namespace heifsplit {

// A picture's alpha plane: an auxiliary image (an auxl reference from it to the picture) whose auxC names
// alpha, and whether the picture's colour is premultiplied by it (a prem reference from the picture to it).
struct Alpha
{
    const Item* image = nullptr; // none: the picture is opaque
    bool premultiplied = false;
};

// The first alpha plane of the image, in reference order; Alpha{} when it has none. An auxiliary image of
// another type (depth, a gain map) is not one. Fails for a picture that is its own alpha plane.
bool findAlpha(const Container& container, const Item& image, Alpha& alpha, Failure& failure);

// The pixels a grid or HEVC image and its alpha plane decode to together, from what they declare (tiles.h:
// tilePixels); 0 when either would not be decoded at all.
std::uint64_t pixelsWithAlpha(Source& source, const Container& container, const Item& image);

} // namespace heifsplit
