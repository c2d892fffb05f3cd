// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "splitter/container.h"
#include "splitter/failure.h"
#include "splitter/source.h"

namespace heifsplit {

// Receives the splitter's output.
class TileSink
{
public:
    virtual ~TileSink() = default;
    virtual bool writeTile(std::uint32_t number, const std::vector<std::uint8_t>& stream,
                           Failure& failure) = 0;
    // A file beside the tiles, named in protocol/protocol.h: the alpha plane's tiles, the transform steps
    // (always), the ICC profile, the Exif block, the bit depths, the alpha plane's information and its
    // premultiplied marker (when the picture has them).
    virtual bool writeSideFile(const std::string& name, const std::vector<std::uint8_t>& data,
                               Failure& failure) = 0;
    // The last file, named in protocol/protocol.h: the information file, or a derived picture's description.
    virtual bool writeInfo(const std::string& name, const std::string& text, Failure& failure) = 0;
};

// Takes one image of the file apart, the primary for item 0 (images.h). A grid or one HEVC image: every tile,
// then its alpha plane's tiles, then the side files (pictureextras.h: the transform text, the ICC profile,
// the Exif block; the bit depths; the alpha plane's information), then the information text last, so that a
// failure part-way leaves no information behind. An overlay or identity image (derived.h): its side files,
// then its description last. A picture of another kind fails as FailureKind::PictureKind.
bool split(Source& source, TileSink& sink, Failure& failure, std::uint32_t item = 0);

// The pixels converting the image decodes, from what it declares alone: its tiles and its alpha plane's, or
// its inputs' for an overlay or identity image; 0 for an image that would not be decoded at all (of a kind
// not converted, larger than protocol::kMaxConvertedSide, or past a bound of derived.h). Cheap for any
// number of images.
std::uint64_t decodedPixels(Source& source, const Container& container, const Item& image);

} // namespace heifsplit
