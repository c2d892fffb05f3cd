// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "engine/process/toolrunner.h"
#include "engine/tiles/tilestitcher.h"

// Overlay and identity pictures: the splitter describes them (hevc/hevcderived) instead of taking them apart,
// and each input is split, stitched and placed here.

// Whether the splitter's last run in the work folder described such a picture.
bool isDerivedPicture(const std::string& workFolder);

// Splits every input the description names (--item) into a folder of its own below the work folder, and
// checks the bounds before any tile is decoded: an input that is itself derived is refused, and all inputs
// together, alpha planes included, may cover at most kMaxOverlayWorkFactor times the canvas's pixels. Then
// each input in turn is stitched with its alpha plane (16-bit when deep is asked and any input is deeper than
// 8 bits), turned and cropped as its own side files say, and drawn over the canvas filled with the fill
// colour, blended by its alpha; its folder goes as soon as it is drawn, and all of them on any failure. The
// picture is Format_ARGB32 or Format_RGBA64 when any of it is transparent (alpha set), else Format_ARGB32
// with alpha 255 or Format_RGBX64. An input with missing tiles fails the picture with its missing cells
// counted.
StitchResult composeDerivedPicture(const std::string& input, const std::string& workFolder, bool deep,
                                   const StopCheck& stop);
