#pragma once

#include <string>

#include <QImage>

#include "engine/toolrunner.h"

// Turns one HEIC file into one 32-bit BMP of the whole picture, in a prepared work folder (with the
// sub-folders hevc and jpeg): the splitter takes the file apart, ffmpeg decodes each tile, and the
// decoded tiles are placed on one canvas that is cut at the picture's edges.

// Pictures may be at most this many pixels wide and high.
inline constexpr int kLargestPictureSide = 10239;

// Why stitchTiles gave up.
enum class StitchFailure {
    None,
    SplitterNotStarted, // the splitter is missing or could not be started
    SplitterTimedOut,   // the splitter ran past the time limit
    SplitterCrashed,    // a signal ended the splitter
    DecoderNotStarted,  // tiles are missing because ffmpeg is missing or could not be started
    NoPicture,          // no usable tile information: not a HEIC file, damaged, or the splitter failed
    TooLarge,           // wider or higher than kLargestPictureSide
    OutOfMemory,        // no memory for the canvas
    Stopped,            // the stop check said so
    CannotWrite,        // the work folder could not be written: the splitter's tiles or the BMP
};

// Runs the splitter on the input, then stitchTiles. Returns stitchTiles's result; the out-parameters
// are stitchTiles's.
int convertHeicToBmp(const std::string& input, const std::string& bmpPath, const std::string& workFolder,
                     int* missingCells = nullptr, StitchFailure* failure = nullptr,
                     const StopCheck& stop = {}, QImage* picture = nullptr);

// Reads hevc/hevcinfo, decodes the listed tiles and writes the picture to bmpPath. Returns 0 after
// writing the BMP, -1 (with the reason in failure) when no BMP was written. missingCells receives how
// many cells of the picture got no decoded tile covering them (a picture with any is incomplete). The
// cell size is the size of the first tile, in grid order, that decodes; 512 x 512 when none does.
// picture, when given, receives after writing the BMP the very picture that reading that BMP back gives
// (Format_RGB32), without the read.
int stitchTiles(const std::string& workFolder, const std::string& bmpPath, int* missingCells = nullptr,
                StitchFailure* failure = nullptr, const StopCheck& stop = {}, QImage* picture = nullptr);

// A decoded tile picture (a BMP) with 32 bits a pixel in the byte order blue, green, red, alpha
// (Format_ARGB32, or Format_RGB32 whose alpha byte is always 255), or a null image when it cannot be
// decoded.
QImage loadTilePixels(const std::string& path);
