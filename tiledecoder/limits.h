// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

// Bounds on what a tile may ask of this process. A tile is normally 512 x 512 pixels and well under a
// megabyte; anything far beyond that is damaged or hostile and is refused before it costs memory or time.
// The largest picture it decodes, which the engine relies on too, is in protocol/protocol.h.
namespace tiledecoder {

// The whole stream is read into memory and handed to the decoder at once.
constexpr std::size_t kMaxInputBytes = 64u << 20;

// Most NAL units looked at while probing the stream.
constexpr std::size_t kMaxNalUnits = 1u << 16;

// The process's address space. The largest tile (protocol::kMaxTilePixels at 4:4:4 and 10 bits a sample)
// takes about 750 MiB: libde265's picture and tables and the BMP; the stream adds at most kMaxInputBytes.
// The margin covers a stream that holds more than one picture.
constexpr std::uint64_t kAddressSpaceCap = 2ull << 30;

// Most heap memory faulted in before decoding (workingmemory.h): a tile takes about 1.5 MiB, a single-image
// picture of 12 megapixels 50 MiB; a stream that only claims a huge picture costs no more than this.
constexpr std::uint64_t kMaxPreparedHeapBytes = 128u << 20;

} // namespace tiledecoder
