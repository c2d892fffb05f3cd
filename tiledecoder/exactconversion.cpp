// SPDX-License-Identifier: GPL-3.0-or-later
#include "tiledecoder/exactconversion.h"

#include <algorithm>
#include <vector>

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

// A sample's nominal value is (sample - offset) / scale: 0..1 for luma and RGB, -0.5..0.5 for chroma.
struct Range
{
    int offset;
    int scale;
};

Range lumaRange(int bits, bool fullRange)
{
    return fullRange ? Range{0, (1 << bits) - 1} : Range{16 << (bits - 8), 219 << (bits - 8)};
}

Range chromaRange(int bits, bool fullRange)
{
    return fullRange ? Range{1 << (bits - 1), (1 << bits) - 1} : Range{128 << (bits - 8), 224 << (bits - 8)};
}

// For every sample value: 255 * factor * nominal value, in units of 2^-32 of an output level, where
// factor = numerator / denominator.
std::vector<std::int64_t> contributions(int bits, Range range, Wide numerator, Wide denominator)
{
    std::vector<std::int64_t> table(std::size_t(1) << bits);
    for (std::size_t value = 0; value < table.size(); ++value)
        table[value] =
            roundedQuotient(255 * numerator * (Wide(value) - range.offset) * kOne, denominator * range.scale);
    return table;
}

std::uint8_t level(std::int64_t sum)
{
    if (sum < 0)
        return 0;
    return std::uint8_t(std::min<std::int64_t>((sum + kHalf) >> kFractionBits, 255));
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

// 255 * value / (2^bits - 1), rounded: full-range samples to 8 bits.
std::vector<std::uint8_t> fullRangeLevels(int bits)
{
    std::vector<std::uint8_t> table(std::size_t(1) << bits);
    for (std::size_t value = 0; value < table.size(); ++value)
        table[value] = std::uint8_t(roundedQuotient(255 * Wide(value), (Wide(1) << bits) - 1));
    return table;
}

} // namespace

void convertYcbcrExactly(const Picture& picture, LumaWeights weights, std::uint8_t* bgra, std::size_t stride)
{
    const int bits = picture.bitDepth;
    const bool full = picture.fullRange;
    const Wide red = weights.red;
    const Wide blue = weights.blue;
    const Wide green = kWeightScale - red - blue;
    // R = Y + 2(1-Kr) Cr, B = Y + 2(1-Kb) Cb, G = Y - 2Kb(1-Kb)/Kg Cb - 2Kr(1-Kr)/Kg Cr.
    const std::vector<std::int64_t> luma = contributions(bits, lumaRange(bits, full), 1, 1);
    const Range chroma = chromaRange(bits, full);
    const std::vector<std::int64_t> crToRed =
        contributions(bits, chroma, 2 * (kWeightScale - red), kWeightScale);
    const std::vector<std::int64_t> cbToBlue =
        contributions(bits, chroma, 2 * (kWeightScale - blue), kWeightScale);
    const std::vector<std::int64_t> cbToGreen =
        contributions(bits, chroma, -2 * blue * (kWeightScale - blue), kWeightScale * green);
    const std::vector<std::int64_t> crToGreen =
        contributions(bits, chroma, -2 * red * (kWeightScale - red), kWeightScale * green);

    const int shiftX = picture.chromaFormat == 1 || picture.chromaFormat == 2 ? 1 : 0;
    const int shiftY = picture.chromaFormat == 1 ? 1 : 0;
    for (int y = 0; y < picture.height; ++y) {
        const SampleRow lumaRow(picture.planes[0].row(std::size_t(y)), bits);
        const SampleRow cbRow(picture.planes[1].row(std::size_t(y >> shiftY)), bits);
        const SampleRow crRow(picture.planes[2].row(std::size_t(y >> shiftY)), bits);
        std::uint8_t* out = bgra + std::size_t(y) * stride;
        for (int x = 0; x < picture.width; ++x, out += 4) {
            const std::int64_t yValue = luma[lumaRow[x]];
            const unsigned cb = cbRow[x >> shiftX];
            const unsigned cr = crRow[x >> shiftX];
            out[0] = level(yValue + cbToBlue[cb]);
            out[1] = level(yValue + cbToGreen[cb] + crToGreen[cr]);
            out[2] = level(yValue + crToRed[cr]);
            out[3] = 255;
        }
    }
}

void convertGbrExactly(const Picture& picture, std::uint8_t* bgra, std::size_t stride)
{
    const std::vector<std::uint8_t> levels = fullRangeLevels(picture.bitDepth);
    for (int y = 0; y < picture.height; ++y) {
        const SampleRow green(picture.planes[0].row(std::size_t(y)), picture.bitDepth);
        const SampleRow blue(picture.planes[1].row(std::size_t(y)), picture.bitDepth);
        const SampleRow red(picture.planes[2].row(std::size_t(y)), picture.bitDepth);
        std::uint8_t* out = bgra + std::size_t(y) * stride;
        for (int x = 0; x < picture.width; ++x, out += 4) {
            out[0] = levels[blue[x]];
            out[1] = levels[green[x]];
            out[2] = levels[red[x]];
            out[3] = 255;
        }
    }
}

void convertGreyExactly(const Picture& picture, std::uint8_t* bgra, std::size_t stride)
{
    const int bits = picture.bitDepth;
    // Limited-range levels are the 8-bit ones times 2^(bits-8); full range spans 0 to 2^bits-1.
    std::vector<std::uint8_t> levels = fullRangeLevels(bits);
    if (!picture.fullRange) {
        for (std::size_t value = 0; value < levels.size(); ++value)
            levels[value] = std::uint8_t(
                std::min<std::int64_t>(roundedQuotient(Wide(value), Wide(1) << (bits - 8)), 255));
    }
    for (int y = 0; y < picture.height; ++y) {
        const SampleRow row(picture.planes[0].row(std::size_t(y)), bits);
        std::uint8_t* out = bgra + std::size_t(y) * stride;
        for (int x = 0; x < picture.width; ++x, out += 4) {
            out[0] = out[1] = out[2] = levels[row[x]];
            out[3] = 255;
        }
    }
}

} // namespace tiledecoder
