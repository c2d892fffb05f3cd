// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>

#include "picturereader/picture.h"

namespace picturereader {

// Reads a PNG file from its start, whatever its colour type, bit depth and interlacing: grey files as grey,
// palette and grey files of fewer bits widened to 8, transparency (an alpha channel or tRNS) as alpha, 16-bit
// files at 16 bits. The size is checked before any pixel. Only the chunks that make the picture and its
// colours are read (its profile, sRGB, gAMA and cHRM); text and every other chunk are skipped unread.
ReadResult readPng(std::FILE* file, PictureSink& sink);

} // namespace picturereader
