// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

namespace tiledecoder {

constexpr const char* kUsage = "usage: ffmpeg -i TILE OUT.bmp";

struct Arguments
{
    std::string tilePath;
    std::string outputPath;
};

// Accepts exactly the command line the conversion engine gives: "-i", the tile, and a path ending in
// ".bmp" (in any case). Nothing else is an option here.
std::optional<Arguments> parseArguments(int argc, const char* const* argv);

} // namespace tiledecoder
