// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "splitter/container.h"
#include "splitter/failure.h"
#include "splitter/source.h"

namespace heifsplit {

// An input of an overlay or identity image: the item and where its top left corner lies on the canvas.
struct DerivedInput
{
    std::uint32_t item = 0;
    std::int64_t x = 0;
    std::int64_t y = 0;
};

// An overlay (iovl: images placed on a canvas of one colour, later over earlier) or an identity image
// (iden: one image shown with transforms of its own).
struct DerivedPicture
{
    std::string type; // "iovl" or "iden"
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint16_t fill[4] = {0, 0, 0, 0}; // red, green, blue, alpha; 0 to 65535
    std::vector<DerivedInput> inputs;     // in the order they are drawn
    std::uint64_t inputPixels = 0;        // what the inputs decode to, alpha planes included
};

// Describes the overlay or identity image from its data and references, every bound checked before anything
// is written: 1 to protocol::kMaxOverlayInputs inputs, each a grid or one HEVC image (an input of another
// kind fails as failForKind says: "iden in iovl"), a canvas of 1 to protocol::kMaxConvertedSide a side, and
// inputs that decode at most protocol::kMaxOverlayWorkFactor times the canvas's pixels. An identity's canvas
// is its input as shown (with the input's own transforms). Reads the overlay's few bytes and what the inputs
// declare, none of their tiles.
bool describeDerived(Source& source, const Container& container, const Item& derived, DerivedPicture& picture,
                     Failure& failure);

// The description as protocol::kDerivedFile has it: "derived TYPE", "canvas W H", "fill R G B A" and an
// "input ITEM X Y" line for each input.
std::string derivedText(const DerivedPicture& picture);

} // namespace heifsplit
