// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "tiledecoder/outputform.h"

namespace tiledecoder {

constexpr const char* kUsage = "usage: ffmpeg -i TILE OUT.bmp | ffmpeg -i TILE -pix_fmt rgb48be OUT.ppm";

struct Arguments
{
    std::string tilePath;
    std::string outputPath;
    OutputForm form = OutputForm::Bmp32;
};

// Accepts exactly the command lines the conversion engine gives: "-i", the tile, and a path ending in
// ".bmp"; or "-i", the tile, "-pix_fmt", "rgb48be" and a path ending in ".ppm" (suffixes in any case).
// Nothing else is an option here.
std::optional<Arguments> parseArguments(int argc, const char* const* argv);

} // namespace tiledecoder
