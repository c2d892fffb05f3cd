#pragma once

#include <cstddef>
#include <cstdint>

// A first look at a raw HEVC stream (start codes, then NAL units) before the decoder sees it: is it a
// stream at all, does it hold parameter sets and a coded picture, and does every sequence parameter set
// declare a picture this process is willing to decode. Pure: reads the bytes, prints nothing.
namespace tiledecoder {

enum class ProbeError {
    None,
    NoStartCode,       // no "00 00 01" anywhere: not a raw HEVC stream
    TooManyNalUnits,   // more NAL units than any tile has
    NoSequenceHeader,  // no sequence parameter set
    BadSequenceHeader, // a sequence parameter set that ends early or holds impossible values
    PictureTooLarge,   // a side or the area beyond the limits in limits.h
    NoCodedPicture,    // parameter sets but no slice
};

// What the first sequence parameter set declares.
struct SequenceInfo
{
    std::uint32_t codedWidth = 0;   // in luma samples, before the conformance window is cut off
    std::uint32_t codedHeight = 0;  //
    std::uint32_t chromaFormat = 0; // 0 monochrome, 1 4:2:0, 2 4:2:2, 3 4:4:4
    std::uint32_t bitDepthLuma = 8;
    std::uint32_t bitDepthChroma = 8;
};

struct ProbeResult
{
    ProbeError error = ProbeError::None;
    SequenceInfo sequence;
    std::size_t nalUnits = 0;
};

ProbeResult probeStream(const std::uint8_t* data, std::size_t size);

// Reads a sequence parameter set's payload (after the two-byte NAL unit header) up to the bit depths.
// Returns None, BadSequenceHeader or PictureTooLarge.
ProbeError parseSequenceHeader(const std::uint8_t* payload, std::size_t size, SequenceInfo& info);

// One line for the user, without a trailing full stop.
const char* describe(ProbeError error);

} // namespace tiledecoder
