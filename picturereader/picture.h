// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// What the JPEG and PNG readers hand on: the picture's rows from the top, and what the file says of its
// colours.
namespace picturereader {

enum class Channels { Grey, Rgb, Rgba };

struct PictureFormat
{
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int bitsPerSample = 8; // 8 or 16
    Channels channels = Channels::Rgb;
};

// The bytes of one row. At 8 bits every pixel is blue, green, red and alpha, the tile BMP's layout (alpha
// 255 unless the picture has it, grey as three equal samples); at 16 bits a grey picture gives one
// big-endian sample a pixel and the others big-endian red, green, blue and alpha (alpha 65535 unless rgba).
std::size_t rowBytes(const PictureFormat& format);

// PNG's sRGB, gAMA and cHRM chunks, the numbers as stored (times 100000).
struct ColourHints
{
    bool srgb = false;
    std::uint32_t gamma = 0; // 0: none
    bool hasChromaticities = false;
    std::array<std::uint32_t, 8> chromaticities{}; // white, red, green and blue, x then y
};

// Where the rows go. Each call says whether it could take them; the reader stops at the first no.
class PictureSink
{
public:
    virtual ~PictureSink() = default;
    // Once, before the first row.
    virtual bool start(const PictureFormat& format) = 0;
    // Each row from the top, rowBytes(format) bytes.
    virtual bool writeRow(const std::uint8_t* row) = 0;
    // After the last row: the ICC profile (empty when none; never over protocol::kMaxIccProfileBytes) and
    // the other colour hints.
    virtual bool finish(const std::vector<std::uint8_t>& iccProfile, const ColourHints& hints) = 0;
};

// Why a file could not be read; the message names what was wrong in a few words.
enum class ReadFailure { None, NotAPicture, Damaged, TooLarge, OutOfMemory, CannotWrite };

struct ReadResult
{
    ReadFailure failure = ReadFailure::None;
    std::string message;

    bool ok() const { return failure == ReadFailure::None; }
};

// The checks every picture passes before its first pixel is decoded: no side over the engine's bound, and its
// pixels as the engine holds them within protocol::kMaxPictureBytes.
ReadResult checkPictureSize(const PictureFormat& format);

} // namespace picturereader
