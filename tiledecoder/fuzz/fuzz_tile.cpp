// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: a tile held in memory taken through the probe, the decoder and the conversion into both
// output forms, with the results checked against each other and thrown away.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "protocol/protocol.h"
#include "tiledecoder/converter.h"
#include "tiledecoder/decoder.h"
#include "tiledecoder/limits.h"
#include "tiledecoder/outputform.h"
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

    // Each file holds its header and every pixel, the BMP's with alpha 255, in pieces of bounded size.
    const std::size_t pixels = std::size_t(picture.width) * std::size_t(picture.height);
    for (const OutputForm form : {OutputForm::Bmp32, OutputForm::Rgb48Ppm}) {
        const std::size_t header = fileHeader(form, picture.width, picture.height).size();
        std::size_t written = 0;
        const std::string error =
            writePicture(picture, form, [&](const std::uint8_t* bytes, std::size_t count) {
                if (count > std::max(header, kPieceBytes))
                    std::abort();
                for (std::size_t n = written; form == OutputForm::Bmp32 && n < written + count; ++n) {
                    if (n >= header && (n - header) % 4 == 3 && bytes[n - written] != 255)
                        std::abort();
                }
                written += count;
                return true;
            });
        if (!error.empty())
            return 0;
        if (written != header + bytesPerPixel(form) * pixels)
            std::abort();
    }
    return 0;
}
