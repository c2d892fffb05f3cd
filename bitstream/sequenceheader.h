// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

// The picture size and sample format that an HEVC sequence parameter set declares. Both the splitter
// (which checks that a tile's stream makes the picture its file claims) and the tile decoder (which
// refuses pictures too large to decode) read them here. Pure: reads bytes, prints nothing.
namespace hevc {

// NAL unit types that matter before decoding.
inline constexpr std::uint32_t kSequenceParameterSet = 33;

// The type of the NAL unit whose two-byte header starts with this byte.
inline std::uint32_t nalUnitType(std::uint8_t firstHeaderByte)
{
    return (firstHeaderByte >> 1) & 0x3fu;
}

// Whether the NAL unit type is a coded slice of a picture.
inline bool isCodedSlice(std::uint32_t type)
{
    return type <= 9 || (type >= 16 && type <= 21);
}

struct SequenceHeader
{
    std::uint32_t codedWidth = 0;   // in luma samples, before the conformance window is cut off
    std::uint32_t codedHeight = 0;  //
    std::uint32_t chromaFormat = 0; // 0 monochrome, 1 4:2:0, 2 4:2:2, 3 4:4:4
    std::uint32_t bitDepthLuma = 8;
    std::uint32_t bitDepthChroma = 8;
    // The conformance window, already in luma samples: what a decoder cuts off each edge.
    std::uint64_t cropLeft = 0;
    std::uint64_t cropRight = 0;
    std::uint64_t cropTop = 0;
    std::uint64_t cropBottom = 0;

    // The size of the decoded picture: the coded size less the conformance window.
    std::uint32_t width() const { return static_cast<std::uint32_t>(codedWidth - cropLeft - cropRight); }
    std::uint32_t height() const { return static_cast<std::uint32_t>(codedHeight - cropTop - cropBottom); }
};

// Reads a sequence parameter set's payload (after the two-byte NAL unit header) up to the bit depths.
// Nothing when it ends early or holds values no stream can have: an unknown chroma format, a zero size, a
// conformance window that leaves no picture, a bit depth over 16.
std::optional<SequenceHeader> readSequenceHeader(const std::uint8_t* payload, std::size_t size);

} // namespace hevc
