// SPDX-License-Identifier: GPL-3.0-or-later
#include "tiledecoder/streamprobe.h"

#include "protocol/protocol.h"
#include "tiledecoder/limits.h"

namespace tiledecoder {

namespace {

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

} // namespace

ProbeError checkSequenceHeader(const std::uint8_t* payload, std::size_t size, hevc::SequenceHeader& header)
{
    const std::optional<hevc::SequenceHeader> read = hevc::readSequenceHeader(payload, size);
    if (!read)
        return ProbeError::BadSequenceHeader;
    header = *read;
    if (header.codedWidth > protocol::kMaxTileSide || header.codedHeight > protocol::kMaxTileSide ||
        std::uint64_t(header.codedWidth) * header.codedHeight > protocol::kMaxTilePixels)
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
            const std::uint32_t type = hevc::nalUnitType(data[start]);
            if (type == hevc::kSequenceParameterSet) {
                hevc::SequenceHeader info;
                const ProbeError error = checkSequenceHeader(data + start + 2, end - start - 2, info);
                if (error != ProbeError::None) {
                    result.error = error;
                    return result;
                }
                if (!sawSequenceHeader)
                    result.sequence = info;
                sawSequenceHeader = true;
            } else if (hevc::isCodedSlice(type)) {
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
