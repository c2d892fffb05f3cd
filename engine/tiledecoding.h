#pragma once

#include <string>
#include <vector>

#include "engine/toolrunner.h"

// Has ffmpeg decode the splitter's tiles: hevc/hevcN in the work folder becomes jpeg/jpegN.bmp. Each
// listed number is decoded once, in list order; numbers whose tile file the splitter did not write are
// skipped. A tile whose decoder fails or runs too long is left undecoded. False when stopped.
// decoderMissing, when given, is set when ffmpeg could not be started for some tile.
bool decodeTiles(const std::string& workFolder, const std::vector<int>& tileIds, const StopCheck& stop = {},
                 bool* decoderMissing = nullptr);

// The two file names of tile number n in the work folder.
std::string tileFilePath(const std::string& workFolder, long long tileNumber);
std::string tilePicturePath(const std::string& workFolder, long long tileNumber);
