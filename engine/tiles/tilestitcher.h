// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The tiles room (engine/tiles/): from the splitter's output to one picture. The tile information file, where
// each tile lands, the decoded tiles read and checked, the canvas they are placed on, and the stitcher (this
// header) that runs the splitter and the decoders and places each tile as its decoder ends. It uses the
// process room (the tools), the files room (descriptors) and the picture room (the stitched BMP's writer).

#include <cstdint>
#include <string>

#include <QImage>

#include "engine/process/toolrunner.h"
#include "engine/stepresult.h"

// Turns one HEIC file into one 32-bit BMP of the whole picture, in a prepared work folder (with the
// sub-folders hevc and jpeg): the splitter takes the file apart, ffmpeg decodes each tile, and the
// decoded tiles are placed on one canvas that is cut at the picture's edges.

// Why stitchTiles gave up.
enum class StitchFailure {
    None,
    Splitter,          // the splitter could not be started, ran past the time limit or crashed
    DecoderNotStarted, // tiles are missing because ffmpeg is missing or could not be started
    NoPicture,         // no usable tile information: not a HEIC file, damaged, or the splitter failed
    BadTiles,          // the decoded tiles differ in size, or do not make the grid the file declares
    TooLarge,          // wider or higher than protocol::kMaxConvertedSide
    OutOfMemory,       // no memory for the canvas
    Stopped,           // the stop check said so
    CannotWrite,       // the work folder could not be written: the splitter's tiles or the BMP
};

struct StitchResult
{
    StitchFailure failure = StitchFailure::None;
    // The failure in the user's words; ok exactly when failure is None.
    StepResult status;
    // How many cells of the picture got no decoded tile covering them: a picture with any is incomplete.
    int missingCells = 0;
    // The very picture that reading the BMP back gives (Format_RGB32), without the read.
    QImage picture;
    // stitchImage: the picture carries its alpha plane (Format_ARGB32 or Format_RGBA64).
    bool alpha = false;
};

// A step's failure as a stitch's: stopped, the splitter (a tool), the work folder, or else no picture.
StitchResult stitchFailed(const StepResult& status);

// Runs the splitter on the input's image item (0: its primary picture) into the work folder's hevc/hevc.
// Fails as the run failed, with "picture kind not supported: KIND" for a sound file of a kind not converted,
// with "not a HEIC file or damaged" when it refused the file, and when it could not write its files.
StepResult splitImage(const std::string& input, const std::string& workFolder, const StopCheck& stop = {},
                      std::uint32_t item = 0);

// What stitchImage makes of the split image besides its 8-bit colour.
struct ImageWanted
{
    bool alpha = false; // its alpha plane, when it has one
    bool deep = false;  // 16-bit colour, when its colour is deeper than 8 bits
};

// stitchPicture of an image splitImage took apart, in the form wanted: the colour as Format_ARGB32 (cells
// without a tile all zero) or, deep, Format_RGBX64 from the decoders' 16-bit tiles; with the alpha plane
// stitched the same way (its tiles of the size its own information gives, checked as the colour's) and put
// on the colour (alphaplane.h), Format_ARGB32 or Format_RGBA64. The missing cells are those of both.
StitchResult stitchImage(const std::string& workFolder, const StopCheck& stop, ImageWanted wanted);

// Runs the splitter on the input's image item (0: its primary picture), then stitchPicture.
StitchResult splitAndStitch(const std::string& input, const std::string& workFolder,
                            const StopCheck& stop = {}, std::uint32_t item = 0);

// stitchTiles without the BMP: the caller writes it (the conversion does so beside the encoding). The
// picture is Format_ARGB32 here, exactly the pixels the BMP holds: cells without a tile are all zero, alpha
// included.
StitchResult stitchPicture(const std::string& workFolder, const StopCheck& stop = {});

// The stitched picture as reading its BMP back gives it: Format_RGB32, alpha 255 everywhere. In place.
void makeOpaque(QImage& picture);

// Runs the splitter on the input, then stitchTiles.
StitchResult convertHeicToBmp(const std::string& input, const std::string& bmpPath,
                              const std::string& workFolder, const StopCheck& stop = {});

// Reads the tile information, decodes the listed tiles and writes the picture to bmpPath; no BMP unless the
// failure is None. Each tile is checked and placed as soon as its decoder ends: all tiles must have the
// size of the first one, and that size must make the declared grid (columns x tile width covers the width
// with less than one tile to spare, and the same for the rows); otherwise the file is refused at once, the
// other decoders are stopped and every decoded tile is deleted. At most rows x columns tiles are decoded,
// so the decoded pixels never exceed the picture and one more row and column of cells. The cell size is
// the tiles' size; 512 x 512 when none decodes.
StitchResult stitchTiles(const std::string& workFolder, const std::string& bmpPath,
                         const StopCheck& stop = {});
