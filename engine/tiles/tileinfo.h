// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The splitter's tile information file (hevc/hevcinfo): lines "width=", "height=", "row=", "col=" and
// comma-separated tile numbers, in any order. A key that is missing leaves its field at 0.
struct TileInfo
{
    int rows = 0;
    int cols = 0;
    int width = 0;
    int height = 0;
    std::vector<int> tileIds;
};

// The whole file as raw bytes; nothing when it cannot be read, is empty, or is larger than any tile
// information file can sensibly be (kMaxTileInfoFileBytes).
std::optional<std::string> readWholeFile(const std::string& path);

// The information file infoFile (protocol.h) the splitter left in the work folder, parsed; all zero when
// there is none.
TileInfo readTileInfo(const std::string& workFolder, const char* infoFile);

// Reads the text up to its end or its first NUL byte. Never fails: lines it does not understand become
// tile number 0 or are ignored, and numbers are read like atol (saturating at the 32-bit range).
TileInfo parseTileInfo(std::string_view text);

// The non-empty pieces of text between delimiters, in order. They point into text.
std::vector<std::string_view> splitText(std::string_view text, char delimiter);

// atol's reading of a number: white space, an optional sign, digits up to the first other character;
// 0 when there are no digits. Out-of-range values saturate at the ends of the 32-bit range.
int readNumber(std::string_view text);
