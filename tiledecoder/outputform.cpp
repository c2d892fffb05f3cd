// SPDX-License-Identifier: GPL-3.0-or-later
#include "tiledecoder/outputform.h"

#include <string>

#include "protocol/tilebmp.h"

namespace tiledecoder {

std::size_t bytesPerPixel(OutputForm form)
{
    return form == OutputForm::Rgb48Ppm ? 6 : 4;
}

std::int64_t largestLevel(OutputForm form)
{
    return form == OutputForm::Rgb48Ppm ? 65535 : 255;
}

std::vector<std::uint8_t> fileHeader(OutputForm form, int width, int height)
{
    if (form == OutputForm::Bmp32) {
        const auto header = protocol::tileBmpHeader(std::uint32_t(width), std::uint32_t(height));
        return std::vector<std::uint8_t>(header.begin(), header.end());
    }
    const std::string header = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n65535\n";
    return std::vector<std::uint8_t>(header.begin(), header.end());
}

} // namespace tiledecoder
