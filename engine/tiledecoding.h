#pragma once

#include <string>
#include <vector>

#include "engine/toolrunner.h"

// Has ffmpeg decode the splitter's tiles: hevc/hevcN in the work folder becomes jpeg/jpegN.bmp. Each
// listed number is decoded once; numbers whose tile file the splitter did not write are skipped. Up to
// tileDecoderCount() decoders run at once, started in list order; the call returns when all have ended.
// A tile whose decoder fails or runs too long is left undecoded. False when stopped: then every running
// decoder is killed and no further one is started. decoderMissing, when given, is set when ffmpeg could
// not be started for some tile.
bool decodeTiles(const std::string& workFolder, const std::vector<int>& tileIds, const StopCheck& stop = {},
                 bool* decoderMissing = nullptr);

// How many decoders decodeTiles runs at once: QThread::idealThreadCount() unless set. Setting 0 restores
// that default; 1 decodes one tile after another on the calling thread.
int tileDecoderCount();
void setTileDecoderCount(int count);

// The two file names of tile number n in the work folder.
std::string tileFilePath(const std::string& workFolder, long long tileNumber);
std::string tilePicturePath(const std::string& workFolder, long long tileNumber);
