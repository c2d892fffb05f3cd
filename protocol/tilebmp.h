// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The BMP the tile decoder writes for each tile and the picture reader for a whole picture: a 54-byte header,
// then width x height pixels of blue, green, red and alpha bytes, the top row first and no padding between
// rows. Any BMP reader reads it; the engine copies its rows straight into memory.
namespace protocol {

inline constexpr std::size_t kTileBmpHeaderBytes = 54;

inline std::array<std::uint8_t, kTileBmpHeaderBytes> tileBmpHeader(std::uint32_t width, std::uint32_t height)
{
    std::array<std::uint8_t, kTileBmpHeaderBytes> header{};
    std::size_t at = 0;
    const auto put = [&](std::uint32_t value, int bytes) {
        for (int n = 0; n < bytes; ++n)
            header[at++] = std::uint8_t(value >> (8 * n));
    };
    const std::uint64_t imageBytes = std::uint64_t(width) * height * 4;
    header[at++] = 'B';
    header[at++] = 'M';
    // The whole file's size; 0 for one past 4 GiB, where the field cannot hold it (readers go by the others).
    put(imageBytes + kTileBmpHeaderBytes <= UINT32_MAX ? std::uint32_t(imageBytes + kTileBmpHeaderBytes) : 0,
        4);
    put(0, 4); // reserved
    put(kTileBmpHeaderBytes, 4);
    put(40, 4); // the info header's size
    put(width, 4);
    put(std::uint32_t(-std::int64_t(height)), 4); // negative: the first row stored is the top one
    put(1, 2);                                    // planes
    put(32, 2);
    put(0, 4); // uncompressed
    put(imageBytes <= UINT32_MAX ? std::uint32_t(imageBytes) : 0, 4);
    put(0, 4); // horizontal resolution: not given
    put(0, 4); // vertical resolution: not given
    put(0, 4); // no palette
    put(0, 4); // important colours: all
    return header;
}

} // namespace protocol
