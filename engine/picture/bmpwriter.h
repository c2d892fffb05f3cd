// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

// The intermediate picture, in the tile BMP's layout (protocol/tilebmp.h): the header, then the pixels as
// 32-bit blue, green, red, alpha, top row first, no row padding.
// Writes header and pixels (width x height x 4 bytes), replacing any file of that name. False when
// the file cannot be written in full; nothing is left behind then.
bool writeBmp32(const std::string& path, const std::uint8_t* pixels, int width, int height);
