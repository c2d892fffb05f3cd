// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

namespace tiledecoder {

constexpr const char* kUsage = "usage: ffmpeg -i TILE OUT.bmp | ffmpeg -i TILE -pix_fmt rgb48be OUT.ppm";

// The two forms a tile is written in (outputform.h): the BMP every conversion reads, and the 16-bit PPM of
// deeper pictures.
enum class OutputForm { Bmp32, Rgb48Ppm };

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
