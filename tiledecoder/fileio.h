// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tiledecoder {

struct ReadResult
{
    std::vector<std::uint8_t> bytes;
    std::string error; // empty on success
};

// Reads a whole regular file of at most maxBytes. Anything else (a folder, a pipe, a device, a larger
// file) is an error, so that no input can make the read block or grow without bound.
ReadResult readWholeFile(const std::string& path, std::size_t maxBytes);

// Writes the bytes to a new file beside path and renames it over path, so that path is either absent,
// the old file, or the complete new one; never a part. Returns an error text, empty on success.
std::string replaceFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

} // namespace tiledecoder
