#pragma once

#include <cstddef>
#include <cstdint>

// Bounds on what a tile may ask of this process. A tile is normally 512 x 512 pixels and well under a
// megabyte; anything far beyond that is damaged or hostile and is refused before it costs memory or time.
namespace tiledecoder {

// The whole stream is read into memory and handed to the decoder at once.
constexpr std::size_t kMaxInputBytes = 64u << 20;

// Largest picture side, in luma samples, that any sequence parameter set may declare.
constexpr std::uint32_t kMaxPictureSide = 16384;

// Largest picture area, so that a picture of two maximal sides cannot ask for gigabytes.
constexpr std::uint64_t kMaxPicturePixels = std::uint64_t(8192) * 8192;

// Most NAL units looked at while probing the stream.
constexpr std::size_t kMaxNalUnits = 1u << 16;

} // namespace tiledecoder
