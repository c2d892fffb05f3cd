#include "tiledecoder/streamprobe.h"

#include "tiledecoder/bitreader.h"
#include "tiledecoder/limits.h"

namespace tiledecoder {

namespace {

constexpr std::uint32_t kSequenceParameterSet = 33;
constexpr std::uint32_t kMaxSubLayers = 7;
constexpr std::uint32_t kMaxSequenceParameterSetId = 15;
constexpr std::uint32_t kMaxBitDepth = 16;

// Index just past the next "00 00 01" at or after from, or size when there is none.
std::size_t afterNextStartCode(const std::uint8_t* data, std::size_t size, std::size_t from)
{
    for (std::size_t i = from; i + 2 < size; ++i) {
        if (data[i + 2] > 1) {
            i += 2; // no start code can end at i + 1 or i + 2 either
            continue;
        }
        if (data[i] == 0 && data[i + 1] == 0 && data[i + 2] == 1)
            return i + 3;
    }
    return size;
}

bool isCodedSlice(std::uint32_t nalUnitType)
{
    return nalUnitType <= 9 || (nalUnitType >= 16 && nalUnitType <= 21);
}

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

ProbeError parseSequenceHeader(const std::uint8_t* payload, std::size_t size, SequenceInfo& info)
{
    BitReader reader(payload, size);
    reader.skip(4); // video parameter set id
    const std::uint32_t maxSubLayersMinus1 = reader.bits(3);
    reader.skip(1); // temporal id nesting
    if (maxSubLayersMinus1 >= kMaxSubLayers)
        return ProbeError::BadSequenceHeader;
    skipProfileTierLevel(reader, maxSubLayersMinus1);
    const std::uint32_t id = reader.unsignedExpGolomb();
    info.chromaFormat = reader.unsignedExpGolomb();
    if (info.chromaFormat == 3)
        reader.skip(1); // separate colour planes
    info.codedWidth = reader.unsignedExpGolomb();
    info.codedHeight = reader.unsignedExpGolomb();
    if (reader.flag()) {
        for (int i = 0; i < 4; ++i)
            reader.unsignedExpGolomb(); // conformance window offsets
    }
    info.bitDepthLuma = reader.unsignedExpGolomb() + 8;
    info.bitDepthChroma = reader.unsignedExpGolomb() + 8;

    if (reader.failed() || id > kMaxSequenceParameterSetId || info.chromaFormat > 3 || info.codedWidth == 0 ||
        info.codedHeight == 0 || info.bitDepthLuma > kMaxBitDepth || info.bitDepthChroma > kMaxBitDepth)
        return ProbeError::BadSequenceHeader;
    if (info.codedWidth > kMaxPictureSide || info.codedHeight > kMaxPictureSide ||
        std::uint64_t(info.codedWidth) * info.codedHeight > kMaxPicturePixels)
        return ProbeError::PictureTooLarge;
    return ProbeError::None;
}

ProbeResult probeStream(const std::uint8_t* data, std::size_t size)
{
    ProbeResult result;
    bool sawSequenceHeader = false;
    bool sawCodedSlice = false;

    std::size_t start = afterNextStartCode(data, size, 0);
    if (start == size) {
        result.error = ProbeError::NoStartCode;
        return result;
    }
    while (start < size) {
        const std::size_t next = afterNextStartCode(data, size, start);
        // The NAL unit ends where the next start code begins; zero bytes before that are padding.
        std::size_t end = next == size ? size : next - 3;
        while (end > start && data[end - 1] == 0)
            --end;
        if (++result.nalUnits > kMaxNalUnits) {
            result.error = ProbeError::TooManyNalUnits;
            return result;
        }
        if (end - start >= 2) {
            const std::uint32_t type = (data[start] >> 1) & 0x3fu;
            if (type == kSequenceParameterSet) {
                SequenceInfo info;
                const ProbeError error = parseSequenceHeader(data + start + 2, end - start - 2, info);
                if (error != ProbeError::None) {
                    result.error = error;
                    return result;
                }
                if (!sawSequenceHeader)
                    result.sequence = info;
                sawSequenceHeader = true;
            } else if (isCodedSlice(type)) {
                sawCodedSlice = true;
            }
        }
        start = next;
    }

    if (!sawSequenceHeader)
        result.error = ProbeError::NoSequenceHeader;
    else if (!sawCodedSlice)
        result.error = ProbeError::NoCodedPicture;
    return result;
}

const char* describe(ProbeError error)
{
    switch (error) {
    case ProbeError::None:
        return "no error";
    case ProbeError::NoStartCode:
        return "not a raw HEVC stream (no start code)";
    case ProbeError::TooManyNalUnits:
        return "too many NAL units for one tile";
    case ProbeError::NoSequenceHeader:
        return "no sequence parameter set in the stream";
    case ProbeError::BadSequenceHeader:
        return "damaged sequence parameter set";
    case ProbeError::PictureTooLarge:
        return "picture larger than a tile may be";
    case ProbeError::NoCodedPicture:
        return "no coded picture in the stream";
    }
    return "unknown error";
}

} // namespace tiledecoder
