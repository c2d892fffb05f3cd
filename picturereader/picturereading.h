// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>

#include "picturereader/picture.h"

namespace picturereader {

// Reads a JPEG (FF D8 FF) or PNG file (its 8-byte signature), as its first bytes say whatever its name, from
// the start of file into the sink. Anything else is NotAPicture.
ReadResult readPicture(std::FILE* file, PictureSink& sink);

} // namespace picturereader
