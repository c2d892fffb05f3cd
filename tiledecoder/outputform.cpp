#include "tiledecoder/outputform.h"

#include <string>

namespace tiledecoder {

namespace {

void putLe16(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    out.push_back(std::uint8_t(value));
    out.push_back(std::uint8_t(value >> 8));
}

void putLe32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    putLe16(out, value & 0xffffu);
    putLe16(out, value >> 16);
}

std::vector<std::uint8_t> bmpHeader(int width, int height)
{
    const std::uint32_t imageBytes = std::uint32_t(width) * std::uint32_t(height) * 4;
    std::vector<std::uint8_t> header{'B', 'M'};
    putLe32(header, std::uint32_t(kBmpHeaderBytes + imageBytes));
    putLe32(header, 0); // reserved
    putLe32(header, kBmpHeaderBytes);
    putLe32(header, 40); // the info header's size
    putLe32(header, std::uint32_t(width));
    putLe32(header, std::uint32_t(-std::int64_t(height))); // negative: the first row stored is the top one
    putLe16(header, 1);                                    // planes
    putLe16(header, 32);
    putLe32(header, 0); // uncompressed
    putLe32(header, imageBytes);
    putLe32(header, 0); // horizontal resolution: not given
    putLe32(header, 0); // vertical resolution: not given
    putLe32(header, 0); // no palette
    putLe32(header, 0); // important colours: all
    return header;
}

} // namespace

std::size_t bytesPerPixel(OutputForm form)
{
    return form == OutputForm::Rgb48Ppm ? 6 : 4;
}

std::vector<std::uint8_t> fileHeader(OutputForm form, int width, int height)
{
    if (form == OutputForm::Bmp32)
        return bmpHeader(width, height);
    const std::string header = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n65535\n";
    return std::vector<std::uint8_t>(header.begin(), header.end());
}

} // namespace tiledecoder
