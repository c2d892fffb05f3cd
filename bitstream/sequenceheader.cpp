// SPDX-License-Identifier: GPL-3.0-or-later
#include "bitstream/sequenceheader.h"

#include "bitstream/bitreader.h"

namespace hevc {

namespace {

constexpr std::uint32_t kMaxSubLayers = 7;
constexpr std::uint32_t kMaxSequenceParameterSetId = 15;
constexpr std::uint32_t kMaxBitDepth = 16;

void skipProfileTierLevel(BitReader& reader, std::uint32_t maxSubLayersMinus1)
{
    // Profile space, tier, profile, 32 compatibility flags, 48 constraint bits, level.
    reader.skip(96);
    bool profilePresent[kMaxSubLayers] = {};
    bool levelPresent[kMaxSubLayers] = {};
    for (std::uint32_t i = 0; i < maxSubLayersMinus1; ++i) {
        profilePresent[i] = reader.flag();
        levelPresent[i] = reader.flag();
    }
    if (maxSubLayersMinus1 > 0) {
        for (std::uint32_t i = maxSubLayersMinus1; i < 8; ++i)
            reader.skip(2);
    }
    for (std::uint32_t i = 0; i < maxSubLayersMinus1; ++i) {
        if (profilePresent[i])
            reader.skip(88);
        if (levelPresent[i])
            reader.skip(8);
    }
}

} // namespace

std::optional<SequenceHeader> readSequenceHeader(const std::uint8_t* payload, std::size_t size)
{
    BitReader reader(payload, size);
    reader.skip(4); // video parameter set id
    const std::uint32_t maxSubLayersMinus1 = reader.bits(3);
    reader.skip(1); // temporal id nesting
    if (maxSubLayersMinus1 >= kMaxSubLayers)
        return std::nullopt;
    skipProfileTierLevel(reader, maxSubLayersMinus1);
    SequenceHeader header;
    const std::uint32_t id = reader.unsignedExpGolomb();
    header.chromaFormat = reader.unsignedExpGolomb();
    if (header.chromaFormat == 3)
        reader.skip(1); // separate colour planes
    header.codedWidth = reader.unsignedExpGolomb();
    header.codedHeight = reader.unsignedExpGolomb();
    if (reader.flag()) {
        // The offsets count chroma samples: two luma samples each where chroma is halved.
        const std::uint64_t unitX = header.chromaFormat == 1 || header.chromaFormat == 2 ? 2 : 1;
        const std::uint64_t unitY = header.chromaFormat == 1 ? 2 : 1;
        header.cropLeft = unitX * reader.unsignedExpGolomb();
        header.cropRight = unitX * reader.unsignedExpGolomb();
        header.cropTop = unitY * reader.unsignedExpGolomb();
        header.cropBottom = unitY * reader.unsignedExpGolomb();
    }
    header.bitDepthLuma = reader.unsignedExpGolomb() + 8;
    header.bitDepthChroma = reader.unsignedExpGolomb() + 8;

    if (reader.failed() || id > kMaxSequenceParameterSetId || header.chromaFormat > 3 ||
        header.codedWidth == 0 || header.codedHeight == 0 || header.bitDepthLuma > kMaxBitDepth ||
        header.bitDepthChroma > kMaxBitDepth || header.cropLeft + header.cropRight >= header.codedWidth ||
        header.cropTop + header.cropBottom >= header.codedHeight)
        return std::nullopt;
    return header;
}

} // namespace hevc
