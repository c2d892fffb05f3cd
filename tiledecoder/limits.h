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

// Most heap memory faulted in before decoding (workingmemory.h): a tile takes about 1.5 MiB, a single-image
// picture of 12 megapixels 50 MiB; a stream that only claims a huge picture costs no more than this.
constexpr std::uint64_t kMaxPreparedHeapBytes = 128u << 20;

} // namespace tiledecoder
