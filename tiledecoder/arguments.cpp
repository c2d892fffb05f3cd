// SPDX-License-Identifier: GPL-3.0-or-later
#include "tiledecoder/arguments.h"

#include <cctype>
#include <cstring>

#include "protocol/protocol.h"

namespace tiledecoder {

namespace {

bool endsWith(const std::string& path, const char* suffix)
{
    const std::size_t length = std::strlen(suffix);
    if (path.size() <= length)
        return false;
    for (std::size_t i = 0; i < length; ++i) {
        if (std::tolower(static_cast<unsigned char>(path[path.size() - length + i])) != suffix[i])
            return false;
    }
    return true;
}

} // namespace

std::optional<Arguments> parseArguments(int argc, const char* const* argv)
{
    if ((argc != 4 && argc != 6) || std::strcmp(argv[1], "-i") != 0 || argv[2][0] == '\0')
        return std::nullopt;
    if (argc == 4) {
        Arguments arguments{argv[2], argv[3], OutputForm::Bmp32};
        return endsWith(arguments.outputPath, protocol::kDecodedTileSuffix) ? std::optional(arguments)
                                                                            : std::nullopt;
    }
    if (std::strcmp(argv[3], "-pix_fmt") != 0 || std::strcmp(argv[4], "rgb48be") != 0)
        return std::nullopt;
    Arguments arguments{argv[2], argv[5], OutputForm::Rgb48Ppm};
    return endsWith(arguments.outputPath, protocol::kDecodedDeepTileSuffix) ? std::optional(arguments)
                                                                            : std::nullopt;
}

} // namespace tiledecoder
