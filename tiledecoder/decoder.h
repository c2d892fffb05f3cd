// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "tiledecoder/picture.h"

namespace tiledecoder {

// Frees a libde265 decoder context.
struct DecoderRelease
{
    void operator()(void* decoder) const;
};

struct DecodeResult
{
    Picture picture;   // its planes lie in the decoder, and live as long as it does
    std::string error; // empty on success
    std::unique_ptr<void, DecoderRelease> decoder;
};

// Decodes the first picture, in output order, of a whole raw HEVC stream with libde265. A picture the
// decoder reports damage in (a slice that ends early, a header it had to reject) counts as a failure:
// a tile with holes is not a decoded tile.
DecodeResult decodeFirstPicture(const std::uint8_t* data, std::size_t size);

} // namespace tiledecoder
