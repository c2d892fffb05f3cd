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
// apart, or larger than kMaxConvertedSide). A picture's pixels count its alpha tiles too, and an overlay's or
// identity's are those of its inputs together (0 when they break a bound below).
inline constexpr char kTileInfoFile[] = "info";       // picture size, grid and tile numbers
inline constexpr char kTransformFile[] = "transform"; // crop, rotate and mirror steps, one a line; always
inline constexpr char kIccProfileFile[] = "icc";      // the picture's ICC profile, when it has one
inline constexpr char kExifFile[] = "exif"; // its Exif block from the TIFF header on, when it has one

// The bit depths of the picture's colour, "LUMA CHROMA\n" in decimal (for example "10 10\n"), from its
// (first) tile's sequence parameter set; only when either is not 8, so that no such file means 8 bits. An
// overlay or identity picture has none: each of its inputs, taken apart, has its own. The alpha plane's
// depth is not recorded: its tiles decode to 8-bit grey.
inline constexpr char kDepthFile[] = "depth";

// A picture with an alpha plane (an auxiliary image of type alpha, urn:mpeg:hevc:2015:auxid:1 or
// urn:mpeg:mpegB:cicp:systems:auxiliary:alpha, one image or a grid) has it split beside its colour: its
// tiles as PREFIX + "alpha" + number (from 1), which decode through the same tile contract (a monochrome
// stream decodes to grey, the alpha in every channel), and their information file, in the information
// file's format, with the alpha image's own size and grid. That size may be smaller than the picture's: the
// alpha is then scaled to it. The alpha image never decodes more pixels than its picture's tiles do. When
// the colour is premultiplied by that alpha (a prem reference), an empty marker file is written too. Crop,
// rotation and mirror (kTransformFile) apply to the alpha as to the colour. Both are written before the
// information file; without an alpha plane neither is.
inline constexpr char kAlphaTilePrefix[] = "alpha";           // alpha tile n is PREFIX + "alpha" + n
inline constexpr char kAlphaInfoFile[] = "alphainfo";         // the alpha image's size, grid, tile numbers
inline constexpr char kPremultipliedFile[] = "premultiplied"; // empty; the colour is premultiplied

// An overlay (iovl) or identity (iden) picture is not taken apart itself: the splitter writes its
// description in place of the information file, last, and no tiles. Each input is then taken apart as
// any image with `heic --item ID INPUT PREFIX2` (a grid, or one image, with alpha or not; never itself
// derived). The description is one line each, words separated by one blank, numbers in decimal:
//   derived iovl                  or "derived iden"
//   canvas WIDTH HEIGHT           the picture's size, 1 to kMaxConvertedSide each; for an identity, the
//                                 size of its input as that input is shown (its own transform applied)
//   fill RED GREEN BLUE ALPHA     the canvas colour, 0 to 65535 each; "fill 0 0 0 0" for an identity
//   input ITEM X Y                one line per input, 1 to kMaxOverlayInputs of them, in the order they are
//                                 drawn (later over earlier, blended by their alpha): the item id and the
//                                 offset of the input's top left corner from the canvas's, which may be
//                                 negative and put the input partly or wholly outside the canvas; an
//                                 identity has one input at 0 0
// The input is placed as `heic --item ITEM` gives it: with its own crop, rotation and mirror applied and its
// alpha. The derived picture's own crop, rotation and mirror (kTransformFile, worked out on the canvas
// size), its ICC profile (its own, or its first input's when it has no colour description) and its Exif are
// written as for any picture, before the description, and apply to the composed canvas.
inline constexpr char kDerivedFile[] = "derived";

// When the picture is of a kind that is not converted (the file is sound: another codec such as av01 or
// jpeg, a mask such as mski, a derivation other than grid, iovl and iden, or an overlay or identity whose
// input is one of these), the splitter ends with kSplitPictureKind and this file alone, holding what it is
// on one line of printable ASCII: the item type ("av01\n"), followed by " in " and the type of the image
// that holds it when it is a part of the picture ("av01 in grid\n", "iden in iovl\n").
inline constexpr char kPictureKindFile[] = "kind";

// Where the engine has the tools write, below its work folder.
inline constexpr char kTileFolder[] = "hevc";                       // the splitter's output
inline constexpr char kSplitterPrefix[] = "hevc/hevc";              // the PREFIX it is given
inline constexpr char kDecodedTileFolder[] = "jpeg";                // the tile decoder's output
inline constexpr char kDecodedTilePrefix[] = "jpeg/jpeg";           // tile n decodes to jpeg/jpegN.bmp
inline constexpr char kDecodedTileSuffix[] = ".bmp";                //
inline constexpr char kDecodedAlphaTilePrefix[] = "jpeg/jpegalpha"; // alpha tile n to jpeg/jpegalphaN.bmp
// A tile decoded in 16 bits: `ffmpeg -i TILE -pix_fmt rgb48be OUT.ppm` writes "P6\nWIDTH HEIGHT\n65535\n"
// and then red, green and blue as big-endian 16-bit words a pixel, the top row first, no padding: the
// file Debian's ffmpeg writes for that command line.
inline constexpr char kDecodedDeepTileSuffix[] = ".ppm";
inline constexpr char kStitchedPicture[] = "bmp.bmp"; // the whole picture, 32-bit BMP

// How the splitter ends.
inline constexpr int kSplitDone = 0;
inline constexpr int kSplitRefused = 1;     // not a file it takes apart: damaged, or not a HEIC picture
inline constexpr int kSplitUsage = 2;       // not called in one of the ways above
inline constexpr int kSplitCannotWrite = 3; // an output could not be written: a full disk, not a bad file
inline constexpr int kSplitPictureKind = 4; // a sound file whose picture is of a kind not converted:
                                            // PREFIX + kPictureKindFile says which (`--list`: never)

// How the tile decoder ends.
inline constexpr int kDecodeDone = 0;
inline constexpr int kDecodeFailed = 1; // the tile could not be decoded; no picture was written
inline constexpr int kDecodeUsage = 2;  // not called as `ffmpeg -i TILE OUT.bmp` or
                                        // `ffmpeg -i TILE -pix_fmt rgb48be OUT.ppm` (suffixes in any case)

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
// "16 16\n" at most.
inline constexpr std::uint32_t kMaxDepthFileBytes = 16;
// Four characters, " in ", four more and the line end, as bytes: far less.
inline constexpr std::uint32_t kMaxPictureKindFileBytes = 64;

// An overlay places at most this many inputs; taken apart, they decode at most kMaxOverlayWorkFactor times
// the pixels of its canvas (alpha included), so that a small file of inputs that each claim a huge grid is
// refused before anything is written. Its canvas is at most kMaxConvertedSide a side.
inline constexpr std::uint32_t kMaxOverlayInputs = 64;
inline constexpr std::uint64_t kMaxOverlayWorkFactor = 4;
// The description: a line of at most 48 bytes for each input, and three more.
inline constexpr std::uint32_t kMaxDerivedFileBytes = (kMaxOverlayInputs + 3) * 48;

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
