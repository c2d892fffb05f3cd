// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The engine. Its top room (engine/ itself) holds the conversion of one file (this header), the window's
// worker (covertthread.h) and the list of a file's pictures (imagelist.h), on four rooms below it: files/
// and process/ at the bottom, picture/ and tiles/ above them. The arrows go down only: no room uses a room
// above it, and of the two in the middle tiles/ uses picture/ (the stitched BMP is written by picture's
// writer), never the reverse. stepresult.h (the failure vocabulary, Result<T>) and limits.h (every bound the
// engine enforces) belong to no room: each room may include them, and they include nothing of the engine.

#include <chrono>

#include <QString>

#include "engine/picture/outputformat.h"
#include "engine/process/toolrunner.h"
#include "engine/stepresult.h"

// One HEIC file (or a JPEG or PNG file named like one) to one picture file: the whole job, for the window's
// worker and for vornetta-convert alike.

struct ConversionRequest
{
    QString input;
    // The name wanted, in its folder. Should another program take it before the picture is done, the next
    // free name of its kind is taken (name(0).jpg, name(1).jpg, ...): an existing file is never replaced.
    QString output;
    OutputFormat format = OutputFormat::Jpg;
    int quality = -1;               // the writer's quality from 0 to 100; -1 for its default
    bool privateWorkFolder = false; // work in a folder of this conversion's own, and leave the shared one
    // Convert the colours to sRGB and name sRGB in the file (and Exif ColorSpace 1 when it carries Exif),
    // for viewers that ignore colour profiles. The window leaves the colours as the camera took them.
    bool srgb = false;
    quint32 item = 0; // the image to convert: 0 for the primary picture, else an item id
                      // that listImages (imagelist.h) gives
    // PNG files of pictures deeper than 8 bits are written in 16 bits; false writes them in 8 as JPG and BMP
    // files always are.
    bool keepDepth = true;
};

struct ConversionResult
{
    StepResult status;
    QString outputFile; // the name the picture took

    bool succeeded() const { return status.ok(); }
};

// Checks the input, prepares the work folder, splits the file, decodes and places its tiles, turns and crops
// the picture as the camera meant it, attaches its colour profile, saves it with its Exif and the source's
// modification time. A JPEG or PNG file, whatever its name, is read by the picture reader instead
// (picturefile.h), in the work folder without the splitter and the decoders, and saved the same way. Nothing
// is left in the output folder unless the result says success. A stop check that says yes ends the
// conversion within about a second, as does the time limit below.
ConversionResult convertFile(const ConversionRequest& request, const StopCheck& stop = {});

// How long one file may take in all, splitting, decoding and saving (kConversionTimeLimit unless changed;
// tests make it short). A file that takes longer fails with "took too long".
std::chrono::milliseconds conversionTimeLimit();
void setConversionTimeLimit(std::chrono::milliseconds limit);
