// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/tiles/tileinfo.h"

#include <array>
#include <climits>
#include <fstream>
#include <new>

#include "engine/limits.h"
#include "protocol/protocol.h"

namespace {

struct Key
{
    std::string_view name;
    int TileInfo::*field;
};

// Tested in this order; the first key a line starts with decides.
constexpr std::array<Key, 4> kKeys{{{"row=", &TileInfo::rows},
                                    {"col=", &TileInfo::cols},
                                    {"width=", &TileInfo::width},
                                    {"height=", &TileInfo::height}}};

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

std::optional<std::string> readWholeFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    if (size <= 0 || size > kMaxTileInfoFileBytes)
        return std::nullopt;
    file.seekg(0, std::ios::beg);
    std::string bytes;
    try {
        bytes.resize(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    if (!file.read(bytes.data(), size))
        return std::nullopt;
    return bytes;
}

std::vector<std::string_view> splitText(std::string_view text, char delimiter)
{
    std::vector<std::string_view> pieces;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(delimiter, start);
        if (end == std::string_view::npos)
            end = text.size();
        if (end > start)
            pieces.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

int readNumber(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && isSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    return static_cast<int>(value);
}

TileInfo readTileInfo(const std::string& workFolder, const char* infoFile)
{
    return parseTileInfo(
        readWholeFile(workFolder + "/" + protocol::kSplitterPrefix + infoFile).value_or(std::string()));
}

TileInfo parseTileInfo(std::string_view text)
{
    const size_t nul = text.find('\0');
    if (nul != std::string_view::npos)
        text = text.substr(0, nul);

    TileInfo info;
    for (std::string_view line : splitText(text, '\n')) {
        bool keyLine = false;
        for (const Key& key : kKeys) {
            if (line.substr(0, key.name.size()) != key.name)
                continue;
            // The number follows the longest leading run of the key's own characters.
            const size_t start = line.find_first_not_of(key.name);
            info.*key.field = start == std::string_view::npos ? 0 : readNumber(line.substr(start));
            keyLine = true;
            break;
        }
        if (keyLine || line.size() < 2)
            continue;
        for (std::string_view element : splitText(line, ','))
            info.tileIds.push_back(readNumber(element));
    }
    return info;
}
