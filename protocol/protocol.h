// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// What the splitter (heic/heic), the picture reader (picturereader/picturereader), the engine and the tile
// decoder (ffmpeg) agree on: the files they hand to each other, how the tools end, and the bounds both sides
// of a file enforce. Standard C++ only, so that all four programs include it.
namespace protocol {

// The splitter, `heic INPUT PREFIX` (the primary picture) or `heic --item ID INPUT PREFIX` (another image),
// writes PREFIX followed by these names, and each tile as PREFIX followed by its number in decimal, from 1.
// The information file is written last: without it nothing else counts. `heic --list INPUT` prints the file's
// images instead, one a line, the primary first: the item id and the pixels its tiles decode to, in decimal
// and separated by a blank (0 for an image that is not decoded at all: of a kind the splitter cannot take
// apart, or larger than kMaxConvertedSide).
inline constexpr char kTileInfoFile[] = "info";       // picture size, grid and tile numbers
inline constexpr char kTransformFile[] = "transform"; // crop, rotate and mirror steps, one a line; always
inline constexpr char kIccProfileFile[] = "icc";      // the picture's ICC profile, when it has one
inline constexpr char kExifFile[] = "exif"; // its Exif block from the TIFF header on, when it has one

// Where the engine has the tools write, below its work folder.
inline constexpr char kTileFolder[] = "hevc";             // the splitter's output
inline constexpr char kSplitterPrefix[] = "hevc/hevc";    // the PREFIX it is given
inline constexpr char kDecodedTileFolder[] = "jpeg";      // the tile decoder's output
inline constexpr char kDecodedTilePrefix[] = "jpeg/jpeg"; // tile n decodes to jpeg/jpegN.bmp
inline constexpr char kDecodedTileSuffix[] = ".bmp";      //
inline constexpr char kStitchedPicture[] = "bmp.bmp";     // the whole picture, 32-bit BMP

// How the splitter ends.
inline constexpr int kSplitDone = 0;
inline constexpr int kSplitRefused = 1;     // not a file it takes apart: damaged, or not a HEIC picture
inline constexpr int kSplitUsage = 2;       // not called in one of the ways above
inline constexpr int kSplitCannotWrite = 3; // an output could not be written: a full disk, not a bad file

// How the tile decoder ends.
inline constexpr int kDecodeDone = 0;
inline constexpr int kDecodeFailed = 1; // the tile could not be decoded; no picture was written
inline constexpr int kDecodeUsage = 2;  // not called as `ffmpeg -i TILE OUT.bmp`

// The picture reader, `picturereader INPUT PREFIX`, reads a JPEG or PNG file (its first bytes say which) and
// writes PREFIX followed by these names. The format file is written last: without it nothing else counts.
// At 8 bits a sample the pixels are a BMP like a decoded tile (tilebmp.h); at 16 bits a PAM of big-endian
// samples, one a pixel for grey pictures and red, green, blue and alpha for the others. The format file is
// one line "pixels 8|16 grey|rgb|rgba" (alpha is 255 or 65535 unless rgba), then, when the file gives them
// and only in this order, the lines "srgb", "gamma N" and "chromaticities WX WY RX RY GX GY BX BY": PNG's
// sRGB, gAMA and cHRM chunks, the numbers as stored (times 100000). The ICC profile is kIccProfileFile.
inline constexpr char kReadPicturePrefix[] = "picture."; // the PREFIX the engine gives, in its work folder
inline constexpr char kReadBmpFile[] = "bmp";
inline constexpr char kReadPamFile[] = "pam";
inline constexpr char kReadFormatFile[] = "format";

// How the picture reader ends.
inline constexpr int kReadDone = 0;
inline constexpr int kReadRefused = 1;     // damaged, or not a JPEG or PNG file
inline constexpr int kReadUsage = 2;       // not called as `picturereader INPUT PREFIX`
inline constexpr int kReadCannotWrite = 3; // an output could not be written
inline constexpr int kReadTooLarge = 4;    // a side over kMaxConvertedSide, refused before any pixel
inline constexpr int kReadOutOfMemory = 5; // pixels over kMaxPictureBytes, or the memory ran out

// Side files: the splitter and the picture reader leave out what is larger, the engine refuses to read it.
// Each crop, rotation or mirror step is a pass over the whole picture.
inline constexpr std::uint32_t kMaxPictureOperations = 16;
// One step is a line of under 64 bytes.
inline constexpr std::uint32_t kMaxTransformFileBytes = kMaxPictureOperations * 64;
// Cameras write profiles of a few kilobytes.
inline constexpr std::uint64_t kMaxIccProfileBytes = 4ull * 1024 * 1024;
// Cameras write Exif blocks well under one JPEG segment (64 KiB).
inline constexpr std::uint64_t kMaxExifBytes = 1024ull * 1024;

// A picture's side meets three caps, one for each stage, from the loosest to the tightest:
// - the splitter takes apart files that declare up to kMaxDeclaredSide, far above what the engine converts,
//   so that a large but honest picture is reported as too large rather than as damaged;
// - the tile decoder decodes pictures up to kMaxTileSide, and kMaxTilePixels in all: a single-image file is
//   one tile, so this is above what the engine converts, and the area bound keeps two long sides from asking
//   for gigabytes;
// - the engine converts pictures up to kMaxConvertedSide: its canvas of 32-bit pixels then takes 400 MiB.
inline constexpr std::uint32_t kMaxDeclaredSide = 1u << 20;
inline constexpr std::uint32_t kMaxTileSide = 16384;
inline constexpr std::uint64_t kMaxTilePixels = std::uint64_t(8192) * 8192;
inline constexpr int kMaxConvertedSide = 10239;
// The most memory the engine's picture may take: 10239 x 10239 at 4 bytes a pixel fits, a 16-bit picture
// (8 bytes a pixel, 2 for grey) may be smaller. The picture reader refuses a larger one before any pixel.
inline constexpr std::uint64_t kMaxPictureBytes = 512ull * 1024 * 1024;

} // namespace protocol
