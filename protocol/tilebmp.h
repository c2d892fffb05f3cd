// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "protocol/protocol.h"

// The BMP the tile decoder writes for each tile and the picture reader for a whole picture: a header of
// kTileBmpHeaderBytes, then width x height pixels of blue, green, red and alpha bytes, the top row first and
// no padding between rows. Any BMP reader reads it; the engine copies its rows straight into memory. The
// engine's stitched picture, bmp.bmp in its work folder, is written the same way.
namespace protocol {

inline constexpr std::size_t kTileBmpHeaderBytes = 54;

// Where the header's fields lie, all little-endian; the two bytes "BM" come first, and the reserved,
// resolution and palette fields are 0.
enum TileBmpField : std::size_t {
    kBmpFileBytes = 2,     // the whole file's size
    kBmpPixelOffset = 10,  // kTileBmpHeaderBytes: the pixels follow the header
    kBmpInfoBytes = 14,    // kBmpInfoHeaderBytes, the info header's size
    kBmpWidth = 18,        // in pixels
    kBmpHeight = 22,       // negative: the first row stored is the top one
    kBmpPlanes = 26,       // 1, 2 bytes
    kBmpBitsPerPixel = 28, // 32, 2 bytes
    kBmpCompression = 30,  // 0: uncompressed
    kBmpImageBytes = 34,   // the pixels' size
};
inline constexpr std::uint32_t kBmpInfoHeaderBytes = 40;

inline std::array<std::uint8_t, kTileBmpHeaderBytes> tileBmpHeader(std::uint32_t width, std::uint32_t height)
{
    std::array<std::uint8_t, kTileBmpHeaderBytes> header{};
    const auto put = [&header](std::size_t at, std::uint32_t value, int bytes) {
        for (int n = 0; n < bytes; ++n)
            header[at + std::size_t(n)] = std::uint8_t(value >> (8 * n));
    };
    const std::uint64_t imageBytes = std::uint64_t(width) * height * 4;
    header[0] = 'B';
    header[1] = 'M';
    // The whole file's size; 0 for one past 4 GiB, where the field cannot hold it (readers go by the others).
    put(kBmpFileBytes,
        imageBytes + kTileBmpHeaderBytes <= UINT32_MAX ? std::uint32_t(imageBytes + kTileBmpHeaderBytes) : 0,
        4);
    put(kBmpPixelOffset, kTileBmpHeaderBytes, 4);
    put(kBmpInfoBytes, kBmpInfoHeaderBytes, 4);
    put(kBmpWidth, width, 4);
    put(kBmpHeight, std::uint32_t(-std::int64_t(height)), 4);
    put(kBmpPlanes, 1, 2);
    put(kBmpBitsPerPixel, 32, 2);
    put(kBmpImageBytes, imageBytes <= UINT32_MAX ? std::uint32_t(imageBytes) : 0, 4);
    return header;
}

// What a BMP file's header says, read against the layout above.
enum class TileBmpLayout {
    Ours,    // the layout above, and the file holds exactly the pixels the header promises
    Damaged, // the layout above, but cut short, too long, or of a size no tool of ours writes: no picture
    Other, // another kind of BMP, such as the 24-bit ones, bottom row first, that the system's ffmpeg writes
};

struct TileBmpCheck
{
    TileBmpLayout layout = TileBmpLayout::Other;
    std::uint32_t width = 0; // Ours: the picture's size
    std::uint32_t height = 0;
};

// Checks the first kTileBmpHeaderBytes of a file of fileBytes bytes.
inline TileBmpCheck checkTileBmpHeader(const std::uint8_t* header, std::uint64_t fileBytes)
{
    const auto get = [header](std::size_t at, int bytes) {
        std::uint32_t value = 0;
        for (int n = bytes - 1; n >= 0; --n)
            value = value << 8 | header[at + std::size_t(n)];
        return value;
    };
    TileBmpCheck check;
    if (header[0] != 'B' || header[1] != 'M' || get(kBmpPixelOffset, 4) != kTileBmpHeaderBytes ||
        get(kBmpInfoBytes, 4) != kBmpInfoHeaderBytes || get(kBmpPlanes, 2) != 1 ||
        get(kBmpBitsPerPixel, 2) != 32 || get(kBmpCompression, 4) != 0)
        return check;
    const auto width = std::int32_t(get(kBmpWidth, 4));
    const auto height = std::int32_t(get(kBmpHeight, 4));
    if (height >= 0)
        return check;
    check.layout = TileBmpLayout::Damaged;
    if (width < 1 || std::uint32_t(width) >= kMaxDeclaredSide ||
        std::uint32_t(-std::int64_t(height)) >= kMaxDeclaredSide ||
        fileBytes != kTileBmpHeaderBytes + std::uint64_t(width) * std::uint64_t(-std::int64_t(height)) * 4)
        return check;
    check.layout = TileBmpLayout::Ours;
    check.width = std::uint32_t(width);
    check.height = std::uint32_t(-std::int64_t(height));
    return check;
}

} // namespace protocol
