// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: a tile held in memory taken through the probe, the decoder, the conversion and the BMP
// encoding, with the results checked against each other and thrown away.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "protocol/protocol.h"
#include "tiledecoder/bmpwriter.h"
#include "tiledecoder/converter.h"
#include "tiledecoder/decoder.h"
#include "tiledecoder/limits.h"
#include "tiledecoder/streamprobe.h"

using namespace tiledecoder;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const ProbeResult probe = probeStream(data, size);
    if (probe.error != ProbeError::None)
        return 0;
    // What the probe let through declares a picture within the limits.
    if (probe.sequence.codedWidth == 0 || probe.sequence.codedWidth > protocol::kMaxTileSide ||
        probe.sequence.codedHeight == 0 || probe.sequence.codedHeight > protocol::kMaxTileSide)
        std::abort();

    const DecodeResult decoded = decodeFirstPicture(data, size);
    if (!decoded.error.empty())
        return 0;
    const Picture& picture = decoded.picture;
    if (picture.width <= 0 || picture.height <= 0 || picture.planeCount < 1)
        std::abort();

    const ConvertResult converted = convertPicture(picture);
    if (!converted.error.empty())
        return 0;
    // The file holds the header and every pixel, four bytes each, with alpha 255.
    const std::size_t pixels = std::size_t(picture.width) * std::size_t(picture.height);
    if (converted.bmp.size() != kBmpHeaderBytes + 4 * pixels)
        std::abort();
    for (std::size_t n = 0; n < pixels; ++n) {
        if (converted.bmp[kBmpHeaderBytes + 4 * n + 3] != 255)
            std::abort();
    }
    return 0;
}
