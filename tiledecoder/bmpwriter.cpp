// SPDX-License-Identifier: GPL-3.0-or-later
#include "tiledecoder/bmpwriter.h"

#include <algorithm>

namespace tiledecoder {

std::vector<std::uint8_t> bmpFile(int width, int height)
{
    std::vector<std::uint8_t> file(kBmpHeaderBytes + std::size_t(width) * std::size_t(height) * 4);
    const auto header = protocol::tileBmpHeader(std::uint32_t(width), std::uint32_t(height));
    std::copy(header.begin(), header.end(), file.begin());
    return file;
}

} // namespace tiledecoder
