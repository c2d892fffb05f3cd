// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/process/toolrunner.h"
#include "protocol/protocol.h"

// Which of the splitter's tiles, decoded how: the colour's (hevc/hevcN to jpeg/jpegN.bmp) unless said
// otherwise, the alpha plane's (hevc/hevcalphaN to jpeg/jpegalphaN.bmp), and either in 16 bits (.ppm).
struct TileSet
{
    std::string tilePrefix = protocol::kSplitterPrefix;
    std::string decodedPrefix = protocol::kDecodedTilePrefix;
    bool deep = false;

    static TileSet alpha()
    {
        return TileSet{std::string(protocol::kSplitterPrefix) + protocol::kAlphaTilePrefix,
                       protocol::kDecodedAlphaTilePrefix, false};
    }
};

// Has ffmpeg decode the splitter's tiles: hevc/hevcN in the work folder becomes jpeg/jpegN.bmp. Each
// listed number is decoded once; numbers whose tile file the splitter did not write are skipped. Up to
// tileDecoderCount() decoders run at once, started in list order, and no more than that in the whole
// process however many conversions decode at the same time (decoderslots.h); the call returns when all have
// ended.
// A tile whose decoder fails or runs too long is left undecoded.

// Told on the calling thread, in the order the decoders end, of each tile whose decoder ended by itself
// (whether or not it wrote a picture); the other decoders keep running meanwhile. False refuses the file:
// every running decoder is killed and no further one is started.
using TileDecoded = std::function<bool(int tileId)>;

struct TileDecoding
{
    enum class End {
        Done,    // every decoder has ended
        Stopped, // the stop check said so: every running decoder was killed, no further one started
        Refused, // the tile callback said so, likewise
    };
    End end = End::Done;
    bool decoderMissing = false; // ffmpeg could not be started for some tile
};

TileDecoding decodeTiles(const std::string& workFolder, const std::vector<int>& tileIds,
                         const StopCheck& stop = {}, const TileDecoded& decoded = {},
                         const TileSet& set = {});

// The two file names of tile number n of the set in the work folder.
std::string tileFilePath(const std::string& workFolder, long long tileNumber, const TileSet& set = {});
std::string tilePicturePath(const std::string& workFolder, long long tileNumber, const TileSet& set = {});
