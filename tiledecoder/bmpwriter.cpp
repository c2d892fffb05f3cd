#include "tiledecoder/bmpwriter.h"

#include <cstring>

namespace tiledecoder {

namespace {

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::size_t kInfoHeaderBytes = 40;
constexpr std::size_t kPaletteBytes = 256 * 4;

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

std::vector<std::uint8_t> encodeBmp(const OutputImage& image)
{
    const bool grey = image.format == OutputFormat::Gray8;
    const std::size_t pixelBytes = grey ? 1 : 3;
    const std::size_t rowBytes = std::size_t(image.width) * pixelBytes;
    const std::size_t paddedRowBytes = (rowBytes + 3) & ~std::size_t(3);
    const std::size_t imageBytes = paddedRowBytes * std::size_t(image.height);
    const std::size_t headerBytes = kFileHeaderBytes + kInfoHeaderBytes + (grey ? kPaletteBytes : 0);

    std::vector<std::uint8_t> file(headerBytes + imageBytes, 0);
    std::uint8_t* out = file.data();
    *out++ = 'B';
    *out++ = 'M';
    putLe32(out, std::uint32_t(file.size()));
    putLe32(out, 0); // reserved
    putLe32(out, std::uint32_t(headerBytes));
    putLe32(out, kInfoHeaderBytes);
    putLe32(out, std::uint32_t(image.width));
    putLe32(out, std::uint32_t(image.height)); // positive: the first row stored is the bottom one
    putLe16(out, 1);                           // planes
    putLe16(out, std::uint32_t(pixelBytes * 8));
    putLe32(out, 0); // uncompressed
    putLe32(out, std::uint32_t(imageBytes));
    putLe32(out, 0); // horizontal resolution: not given
    putLe32(out, 0); // vertical resolution: not given
    putLe32(out, 0); // palette entries: all 256 for 8 bits
    putLe32(out, 0); // important colours: all
    if (grey) {
        for (std::uint32_t level = 0; level < 256; ++level)
            putLe32(out, level * 0x010101u);
    }
    for (int y = image.height - 1; y >= 0; --y) {
        std::memcpy(out, image.pixels.row(std::size_t(y)), rowBytes);
        out += paddedRowBytes; // the padding stays zero
    }
    return file;
}

} // namespace tiledecoder
