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
    const OutputImage& image = converted.image;
    if (image.width != picture.width || image.height != picture.height || image.pixels.isNull())
        std::abort();

    const std::size_t rowBytes = std::size_t(image.width) * (image.format == OutputFormat::Gray8 ? 1 : 3);
    const std::size_t expected = 54 + (image.format == OutputFormat::Gray8 ? 1024 : 0) +
                                 ((rowBytes + 3) & ~std::size_t(3)) * std::size_t(image.height);
    if (encodeBmp(image).size() != expected)
        std::abort();
    return 0;
}
