// SPDX-License-Identifier: GPL-3.0-or-later
#include "picturereader/picturereading.h"

#include <cstring>

#include "picturereader/jpegreading.h"
#include "picturereader/pngreading.h"

namespace picturereader {

ReadResult readPicture(std::FILE* file, PictureSink& sink)
{
    static const unsigned char jpegSignature[] = {0xff, 0xd8, 0xff};
    static const unsigned char pngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    unsigned char start[sizeof pngSignature] = {};
    const std::size_t got = std::fread(start, 1, sizeof start, file);
    if (std::fseek(file, 0, SEEK_SET) != 0)
        return {ReadFailure::NotAPicture, "cannot read the file"};
    if (got >= sizeof jpegSignature && std::memcmp(start, jpegSignature, sizeof jpegSignature) == 0)
        return readJpeg(file, sink);
    if (got == sizeof pngSignature && std::memcmp(start, pngSignature, sizeof pngSignature) == 0)
        return readPng(file, sink);
    return {ReadFailure::NotAPicture, "not a JPEG or PNG file"};
}

} // namespace picturereader
