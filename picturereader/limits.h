// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

// Bounds the picture reader puts on what one JPEG or PNG file may ask of it, beyond those it shares with the
// engine in protocol/protocol.h (the largest side, the largest picture, the largest profile). Far above what
// cameras and editors write, far below what would hurt the machine.
namespace picturereader {

// A progressive JPEG comes in about ten scans; each scan is a pass over the whole picture, so thousands of
// empty ones keep the reader busy for minutes. djpeg's -maxscans guards against the same.
inline constexpr int kMaxJpegScans = 500;

// libpng keeps no ancillary chunk it is not asked for (text, unknown chunks): these bound the few it keeps
// (the profile, the transparency) and what one chunk may take decompressed, the profile's bound and some.
inline constexpr std::uint32_t kMaxPngChunksKept = 64;
inline constexpr std::size_t kMaxPngChunkBytes = 8u << 20;

// The process's address space. The most any allowed file needs is the coefficients libjpeg keeps for a
// progressive (or multi-scan) JPEG of four components at full resolution: 10240 x 10240 pixels at 8 bytes,
// 800 MiB. An interlaced PNG is held whole, at most 512 MiB (protocol::kMaxPictureBytes). The margin covers
// the libraries, the stack and the buffers of a row.
inline constexpr std::uint64_t kAddressSpaceCap = 1280ull << 20;

} // namespace picturereader
