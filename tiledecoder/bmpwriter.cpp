// SPDX-License-Identifier: GPL-3.0-or-later
#include "tiledecoder/bmpwriter.h"

namespace tiledecoder {

namespace {

void putLe16(std::uint8_t*& out, std::uint32_t value)
{
    *out++ = std::uint8_t(value);
    *out++ = std::uint8_t(value >> 8);
}

void putLe32(std::uint8_t*& out, std::uint32_t value)
{
    putLe16(out, value & 0xffffu);
    putLe16(out, value >> 16);
}

} // namespace

std::vector<std::uint8_t> bmpFile(int width, int height)
{
    const std::uint32_t imageBytes = std::uint32_t(width) * std::uint32_t(height) * 4;
    std::vector<std::uint8_t> file(kBmpHeaderBytes + imageBytes);
    std::uint8_t* out = file.data();
    *out++ = 'B';
    *out++ = 'M';
    putLe32(out, std::uint32_t(file.size()));
    putLe32(out, 0); // reserved
    putLe32(out, kBmpHeaderBytes);
    putLe32(out, 40); // the info header's size
    putLe32(out, std::uint32_t(width));
    putLe32(out, std::uint32_t(-std::int64_t(height))); // negative: the first row stored is the top one
    putLe16(out, 1);                                    // planes
    putLe16(out, 32);
    putLe32(out, 0); // uncompressed
    putLe32(out, imageBytes);
    putLe32(out, 0); // horizontal resolution: not given
    putLe32(out, 0); // vertical resolution: not given
    putLe32(out, 0); // no palette
    putLe32(out, 0); // important colours: all
    return file;
}

} // namespace tiledecoder
