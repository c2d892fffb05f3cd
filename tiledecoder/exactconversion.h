// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tiledecoder/outputform.h"
#include "tiledecoder/picture.h"

// The conversions libyuv has no function for, done here from the definitions: every sample is taken to its
// nominal value (limited range: 16..235 luma and 16..240 chroma scaled by 2^(bits-8); full range: 0 to
// 2^bits-1), combined with the matrix's exact coefficients and rounded once, at the end, to the output's
// levels (8 bits, or 16 bits for the PPM form). Chroma is taken from the nearest sample to the left and
// above, as libyuv does for the formats it has.
namespace tiledecoder {

// A YCbCr matrix by its luma weights of red and blue, in ten-thousandths (BT.601: 2990 and 1140).
struct LumaWeights
{
    int red = 2990;
    int blue = 1140;
};

// A rectangle of the picture; converting it writes height rows of width pixels.
struct Region
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Each converter is made once per picture (its tables) and then converts any region of it into rows of the
// output form's pixels (outputform.h) stride bytes apart.

// YCbCr of any chroma format and a bit depth of 8 to 16; a grey picture is its luma alone.
class YcbcrConversion final
{
public:
    YcbcrConversion(const Picture& picture, LumaWeights weights, OutputForm form);
    void convert(const Picture& picture, Region region, std::uint8_t* out, std::size_t stride) const;

private:
    OutputForm form;
    std::int64_t largest;
    std::vector<std::int64_t> luma, crToRed, cbToBlue, cbToGreen, crToGreen;
};

// 4:4:4 coded with the identity matrix (planes green, blue, red), always full range.
class GbrConversion final
{
public:
    GbrConversion(const Picture& picture, OutputForm form);
    void convert(const Picture& picture, Region region, std::uint8_t* out, std::size_t stride) const;

private:
    OutputForm form;
    std::vector<std::uint16_t> levels;
};

// Grey deeper than 8 bits into the BMP form, as 8-bit grey of the same range: the levels the system's
// ffmpeg shows (it does not stretch limited-range grey in BMP files).
class GreyLevelsConversion final
{
public:
    explicit GreyLevelsConversion(const Picture& picture);
    void convert(const Picture& picture, Region region, std::uint8_t* out, std::size_t stride) const;

private:
    std::vector<std::uint8_t> levels;
};

} // namespace tiledecoder
