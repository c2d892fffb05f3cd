// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bitstream/sequenceheader.h"
#include "splitter/container.h"
#include "splitter/failure.h"
#include "splitter/source.h"

namespace heifsplit {

// A picture as coded tiles: a grid's tiles in row-major order, or the one coded image.
struct TilePlan
{
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t rows = 0;
    std::uint32_t cols = 0;
    std::uint32_t tileWidth = 0; // what each tile declares (its ispe); the picture's size for one image
    std::uint32_t tileHeight = 0;
    std::vector<std::uint32_t> tiles; // item ids; tile n (from 1) is tiles[n - 1]
};

// Works out the image's tiles. Fails for an item that is neither a grid of HEVC images nor one HEVC image
// (as failForKind in images.h), and for sizes and counts that cannot be true.
bool planTiles(Source& source, const Container& container, const Item& image, TilePlan& plan,
               Failure& failure);

// The pixels the image's tiles decode to, from what it declares alone, without a look at its tile data: a
// grid's rows times columns times its first tile's size (which every tile must have), or 0 for an image that
// would not be decoded at all (neither a grid of HEVC images nor one, or larger than the engine converts,
// protocol::kMaxConvertedSide a side). Cheap for any number of images.
std::uint64_t tilePixels(Source& source, const Container& container, const Item& image);

// The tile item as a raw HEVC stream with start codes: the parameter sets of its hvcC first, then its NAL
// units. Budget is what the tiles may still write; it is reduced by what this one used. Every sequence
// parameter set in the stream must make a picture of the plan's tile size: a tile that claims a few pixels
// but decodes to millions would turn a small file into gigabytes of decoded pictures. format, when given,
// receives what the first sequence parameter set declares (its bit depths).
struct OutputBudget
{
    std::uint64_t codedData = 0;
    std::uint64_t parameterSets = 0;
};
bool tileStream(Source& source, const Container& container, const TilePlan& plan, std::uint32_t itemId,
                OutputBudget& budget, std::vector<std::uint8_t>& out, Failure& failure,
                hevc::SequenceHeader* format = nullptr);

// The tile information text: width=, height=, row=, col= lines and the tile numbers, each followed by a
// comma.
std::string tileInfoText(const TilePlan& plan);

} // namespace heifsplit
