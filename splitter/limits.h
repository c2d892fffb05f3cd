// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

// Every bound the splitter alone puts on what a file may claim, in one place (those it shares with the
// engine and the tile decoder, picture sides and side files, are in protocol/protocol.h). A file past one
// of them is refused with a reason, never read further: the numbers are far above what cameras write and
// far below what would hurt the machine.
namespace heifsplit {

// The largest box read into memory (meta and everything in it); mdat is never read whole.
inline constexpr std::uint64_t kMaxBoxSize = 64ull * 1024 * 1024;
// How deep boxes may nest below the file.
inline constexpr int kMaxNestingDepth = 8;
// The most items, item properties and references a file may declare.
inline constexpr std::size_t kMaxItems = 65536;
inline constexpr std::size_t kMaxProperties = 65536;
inline constexpr std::size_t kMaxReferences = 65536;
// The most extents one item may have.
inline constexpr std::size_t kMaxExtents = 4096;
// The most tiles a grid may have (rows and columns are at most 256 each).
inline constexpr std::uint32_t kMaxTiles = 16384;
// The most bytes of parameter sets written out for all tiles together: each tile repeats its own.
inline constexpr std::uint64_t kMaxParameterSetOutput = 64ull * 1024 * 1024;
// The most bytes an overlay's description may have: 532 are enough for the most inputs it may place.
inline constexpr std::uint64_t kMaxOverlayDataSize = 1024;
// The largest input file.
inline constexpr std::uint64_t kMaxFileSize = 4ull * 1024 * 1024 * 1024;
// The process's address space. The file is read a box and a tile at a time: a file within the bounds above
// needs the meta box and what is parsed from it, and its largest tile twice, as read and as written (an 84 MB
// tile takes 166 MiB in all; the tile decoder takes none over 64 MiB).
inline constexpr std::uint64_t kAddressSpaceCap = 2ull << 30;

} // namespace heifsplit
