// SPDX-License-Identifier: GPL-3.0-or-later
#include "tiledecoder/exactconversion.h"

#include <algorithm>

namespace tiledecoder {

namespace {

// Products of sample values, weights and 2^32 need more than 64 bits before they are divided.
__extension__ typedef __int128 Wide;

constexpr int kWeightScale = 10000;
// Every contribution to an output level is kept to 32 fractional bits; only their sum is rounded.
constexpr int kFractionBits = 32;
constexpr std::int64_t kHalf = std::int64_t(1) << (kFractionBits - 1);
constexpr Wide kOne = Wide(1) << kFractionBits;

// numerator / denominator to the nearest integer, halves rounded up; denominator > 0.
std::int64_t roundedQuotient(Wide numerator, Wide denominator)
{
    Wide quotient = numerator / denominator;
    Wide remainder = numerator % denominator;
    if (remainder < 0) {
        --quotient;
        remainder += denominator;
    }
    if (2 * remainder >= denominator)
        ++quotient;
    return std::int64_t(quotient);
}

// A full-range sample of bits to the output's levels: largest * value / (2^bits - 1), rounded.
std::int64_t fullRangeLevel(std::size_t value, int bits, std::int64_t largest)
{
    return roundedQuotient(Wide(largest) * Wide(value), (Wide(1) << bits) - 1);
}

// A sample's nominal value is (sample - offset) / scale: 0..1 for luma and RGB, -0.5..0.5 for chroma.
struct SampleRange
{
    int offset;
    int scale;
};

SampleRange lumaRange(int bits, bool fullRange)
{
    return fullRange ? SampleRange{0, (1 << bits) - 1} : SampleRange{16 << (bits - 8), 219 << (bits - 8)};
}

SampleRange chromaRange(int bits, bool fullRange)
{
    return fullRange ? SampleRange{1 << (bits - 1), (1 << bits) - 1}
                     : SampleRange{128 << (bits - 8), 224 << (bits - 8)};
}

// For every sample value: largest * factor * nominal value, in units of 2^-32 of an output level, where
// factor = numerator / denominator.
std::vector<std::int64_t> contributions(int bits, SampleRange range, std::int64_t largest, Wide numerator,
                                        Wide denominator)
{
    std::vector<std::int64_t> table(std::size_t(1) << bits);
    for (std::size_t value = 0; value < table.size(); ++value)
        table[value] = roundedQuotient(largest * numerator * (Wide(value) - range.offset) * kOne,
                                       denominator * range.scale);
    return table;
}

unsigned level(std::int64_t sum, std::int64_t largest)
{
    if (sum < 0)
        return 0;
    return unsigned(std::min<std::int64_t>((sum + kHalf) >> kFractionBits, largest));
}

// Reads samples of one plane row: bytes at 8 bits, 16-bit little-endian words above, capped at the
// largest value of the bit depth so that a stray high bit cannot reach past a table.
class SampleRow final
{
public:
    SampleRow(const std::uint8_t* row, int bits)
        : row(row)
        , wide(bits > 8)
        , largest((1u << bits) - 1)
    {}
    unsigned operator[](int x) const
    {
        if (!wide)
            return row[x];
        const unsigned value = row[2 * x] | unsigned(row[2 * x + 1]) << 8;
        return std::min(value, largest);
    }

private:
    const std::uint8_t* row;
    bool wide;
    unsigned largest;
};

// Stores one pixel of the output form and moves past it: blue, green, red and alpha 255 bytes for the BMP;
// red, green and blue as big-endian 16-bit words for the PPM.
template <OutputForm form>
void store(std::uint8_t*& out, unsigned red, unsigned green, unsigned blue)
{
    if constexpr (form == OutputForm::Bmp32) {
        out[0] = std::uint8_t(blue);
        out[1] = std::uint8_t(green);
        out[2] = std::uint8_t(red);
        out[3] = 255;
        out += 4;
    } else {
        out[0] = std::uint8_t(red >> 8);
        out[1] = std::uint8_t(red);
        out[2] = std::uint8_t(green >> 8);
        out[3] = std::uint8_t(green);
        out[4] = std::uint8_t(blue >> 8);
        out[5] = std::uint8_t(blue);
        out += 6;
    }
}

// Calls rows with the form as a compile-time constant, so that the pixel loops are made once for each form.
template <typename Rows>
void forForm(OutputForm form, const Rows& rows)
{
    if (form == OutputForm::Bmp32)
        rows(std::integral_constant<OutputForm, OutputForm::Bmp32>());
    else
        rows(std::integral_constant<OutputForm, OutputForm::Rgb48Ppm>());
}

} // namespace

YcbcrConversion::YcbcrConversion(const Picture& picture, LumaWeights weights, OutputForm form)
    : form(form)
    , largest(largestLevel(form))
{
    const int bits = picture.bitDepth;
    const bool full = picture.fullRange;
    const Wide red = weights.red;
    const Wide blue = weights.blue;
    const Wide green = kWeightScale - red - blue;
    // R = Y + 2(1-Kr) Cr, B = Y + 2(1-Kb) Cb, G = Y - 2Kb(1-Kb)/Kg Cb - 2Kr(1-Kr)/Kg Cr.
    luma = contributions(bits, lumaRange(bits, full), largest, 1, 1);
    if (picture.chromaFormat == 0)
        return;
    const SampleRange chroma = chromaRange(bits, full);
    crToRed = contributions(bits, chroma, largest, 2 * (kWeightScale - red), kWeightScale);
    cbToBlue = contributions(bits, chroma, largest, 2 * (kWeightScale - blue), kWeightScale);
    cbToGreen = contributions(bits, chroma, largest, -2 * blue * (kWeightScale - blue), kWeightScale * green);
    crToGreen = contributions(bits, chroma, largest, -2 * red * (kWeightScale - red), kWeightScale * green);
}

void YcbcrConversion::convert(const Picture& picture, Region region, std::uint8_t* out,
                              std::size_t stride) const
{
    const int bits = picture.bitDepth;
    const int shiftX = picture.chromaFormat == 1 || picture.chromaFormat == 2 ? 1 : 0;
    const int shiftY = picture.chromaFormat == 1 ? 1 : 0;
    forForm(form, [&](auto form) {
        for (int y = region.y; y < region.y + region.height; ++y, out += stride) {
            const SampleRow lumaRow(picture.planes[0].row(std::size_t(y)), bits);
            std::uint8_t* pixel = out;
            if (picture.chromaFormat == 0) {
                for (int x = region.x; x < region.x + region.width; ++x) {
                    const unsigned grey = level(luma[lumaRow[x]], largest);
                    store<decltype(form)::value>(pixel, grey, grey, grey);
                }
                continue;
            }
            const SampleRow cbRow(picture.planes[1].row(std::size_t(y >> shiftY)), bits);
            const SampleRow crRow(picture.planes[2].row(std::size_t(y >> shiftY)), bits);
            for (int x = region.x; x < region.x + region.width; ++x) {
                const std::int64_t yValue = luma[lumaRow[x]];
                const unsigned cb = cbRow[x >> shiftX];
                const unsigned cr = crRow[x >> shiftX];
                store<decltype(form)::value>(pixel, level(yValue + crToRed[cr], largest),
                                             level(yValue + cbToGreen[cb] + crToGreen[cr], largest),
                                             level(yValue + cbToBlue[cb], largest));
            }
        }
    });
}

GbrConversion::GbrConversion(const Picture& picture, OutputForm form)
    : form(form)
    , levels(std::size_t(1) << picture.bitDepth)
{
    for (std::size_t value = 0; value < levels.size(); ++value)
        levels[value] = std::uint16_t(fullRangeLevel(value, picture.bitDepth, largestLevel(form)));
}

void GbrConversion::convert(const Picture& picture, Region region, std::uint8_t* out,
                            std::size_t stride) const
{
    forForm(form, [&](auto form) {
        for (int y = region.y; y < region.y + region.height; ++y, out += stride) {
            const SampleRow green(picture.planes[0].row(std::size_t(y)), picture.bitDepth);
            const SampleRow blue(picture.planes[1].row(std::size_t(y)), picture.bitDepth);
            const SampleRow red(picture.planes[2].row(std::size_t(y)), picture.bitDepth);
            std::uint8_t* pixel = out;
            for (int x = region.x; x < region.x + region.width; ++x)
                store<decltype(form)::value>(pixel, levels[red[x]], levels[green[x]], levels[blue[x]]);
        }
    });
}

GreyLevelsConversion::GreyLevelsConversion(const Picture& picture)
    : levels(std::size_t(1) << picture.bitDepth)
{
    const int bits = picture.bitDepth;
    // Limited-range levels are the 8-bit ones times 2^(bits-8); full range spans 0 to 2^bits-1.
    for (std::size_t value = 0; value < levels.size(); ++value) {
        const std::int64_t level = picture.fullRange ? fullRangeLevel(value, bits, 255)
                                                     : roundedQuotient(Wide(value), Wide(1) << (bits - 8));
        levels[value] = std::uint8_t(std::min<std::int64_t>(level, 255));
    }
}

void GreyLevelsConversion::convert(const Picture& picture, Region region, std::uint8_t* out,
                                   std::size_t stride) const
{
    for (int y = region.y; y < region.y + region.height; ++y, out += stride) {
        const SampleRow row(picture.planes[0].row(std::size_t(y)), picture.bitDepth);
        std::uint8_t* pixel = out;
        for (int x = region.x; x < region.x + region.width; ++x) {
            const unsigned grey = levels[row[x]];
            store<OutputForm::Bmp32>(pixel, grey, grey, grey);
        }
    }
}

} // namespace tiledecoder
