// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "tiledecoder/outputform.h"
#include "tiledecoder/picture.h"

namespace tiledecoder {

// Receives the output file's bytes in order; false when they could not be written.
using ByteSink = std::function<bool(const std::uint8_t* data, std::size_t size)>;

// Converted pixels are held in one buffer of at most this many bytes, handed on and reused: a tile's output
// never costs its whole size in fresh memory. Whole rows go at once while they fit; a longer row goes in
// parts.
inline constexpr std::size_t kPieceBytes = 64 * 1024;

// Converts a decoded picture into the file of the output form (outputform.h) and hands it to sink, the
// header first: with the stream's matrix and range, read as the system's ffmpeg reads them, grey pictures
// as grey. Into the BMP, libyuv converts the common 8-bit formats and the rest is converted exactly
// (exactconversion.h); into the PPM everything is converted exactly. Chroma is never interpolated: each
// chroma sample covers the luma samples it was taken from, as libyuv and libheif's converter have it.
// Returns an error text, empty on success.
std::string writePicture(const Picture& picture, OutputForm form, const ByteSink& sink);

} // namespace tiledecoder
