// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>

#include "picturereader/picture.h"

namespace picturereader {

// Reads a JPEG file from its start: grey files as grey, YCbCr and RGB ones as colour, and CMYK and YCCK
// (Adobe) ones turned to colour as Adobe's applications store them (inverted), each sample scaled by K. The
// size is checked before any pixel; a file of more than kMaxJpegScans scans, or one that ends before its last
// row, is damaged. Its ICC profile is kept (jpegprofile.h); none of its other segments is.
ReadResult readJpeg(std::FILE* file, PictureSink& sink);

} // namespace picturereader
