// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string>

// The intermediate picture: a 54-byte header (all integers little-endian), then the pixels as 32-bit
// blue, green, red, alpha, top row first, no row padding. The negative height says "top row first".
inline constexpr int kBmpHeaderSize = 54;

std::array<std::uint8_t, kBmpHeaderSize> bmpHeader(int width, int height);

// Writes header and pixels (width x height x 4 bytes), replacing any file of that name. False when
// the file cannot be written in full; nothing is left behind then.
bool writeBmp32(const std::string& path, const std::uint8_t* pixels, int width, int height);
