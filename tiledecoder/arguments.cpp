// SPDX-License-Identifier: GPL-3.0-or-later
#include "tiledecoder/arguments.h"

#include <cctype>
#include <cstring>

namespace tiledecoder {

namespace {

bool endsWithBmp(const std::string& path)
{
    static const char suffix[] = ".bmp";
    const std::size_t length = sizeof(suffix) - 1;
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
    if (argc != 4 || std::strcmp(argv[1], "-i") != 0 || argv[2][0] == '\0')
        return std::nullopt;
    Arguments arguments{argv[2], argv[3]};
    if (!endsWithBmp(arguments.outputPath))
        return std::nullopt;
    return arguments;
}

} // namespace tiledecoder
