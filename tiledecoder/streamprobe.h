// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

#include "bitstream/sequenceheader.h"

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

struct ProbeResult
{
    ProbeError error = ProbeError::None;
    hevc::SequenceHeader sequence; // what the first sequence parameter set declares
    std::size_t nalUnits = 0;
};

ProbeResult probeStream(const std::uint8_t* data, std::size_t size);

// Checks a sequence parameter set's payload (after the two-byte NAL unit header) against this process's
// limits. Returns None, BadSequenceHeader or PictureTooLarge.
ProbeError checkSequenceHeader(const std::uint8_t* payload, std::size_t size, hevc::SequenceHeader& header);

// One line for the user, without a trailing full stop.
const char* describe(ProbeError error);

} // namespace tiledecoder
