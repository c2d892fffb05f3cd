// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "protocol/tilebmp.h"

namespace tiledecoder {

// A tile's BMP (protocol/tilebmp.h). The engine copies its rows straight onto its canvas.
inline constexpr std::size_t kBmpHeaderBytes = protocol::kTileBmpHeaderBytes;

// The whole file for a picture of that size, the header written and the pixels left for the caller.
std::vector<std::uint8_t> bmpFile(int width, int height);

} // namespace tiledecoder
