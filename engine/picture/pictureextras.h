// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <vector>

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QString>

#include "engine/picture/outputformat.h"
#include "engine/stepresult.h"

// What the splitter leaves beside the tile information so that the picture comes out as the camera meant
// it: the crop, rotation and mirror steps (PREFIXtransform, always written), the ICC profile (PREFIXicc)
// and the Exif block (PREFIXexif).

struct PictureOperation
{
    enum class Kind { Crop, Rotate, Mirror };
    Kind kind = Kind::Crop;
    QRect crop;           // Crop: the rectangle kept
    int quarterTurns = 0; // Rotate: 1 to 3 quarter turns anticlockwise
    int axis = 0;         // Mirror: 0 flips top and bottom, 1 left and right
};

// The transform text, one step a line: "crop LEFT TOP WIDTH HEIGHT", "rotate 1|2|3", "mirror 0|1", each
// line ending in a newline. Nothing else is accepted: no blanks but single spaces, no signs, no leading
// zeros, at most 16 steps. std::nullopt when the text is not exactly that.
std::optional<std::vector<PictureOperation>> parsePictureOperations(const QByteArray& text);

// Applies the steps in order. False when a crop does not lie inside the picture as it is at that step,
// or when memory runs out; the picture is then unusable.
bool applyPictureOperations(QImage& image, const std::vector<PictureOperation>& operations);

struct PictureExtras
{
    std::vector<PictureOperation> operations;
    QByteArray iccProfile; // empty: none
    QByteArray exif;       // empty: none
};

struct PictureExtrasResult
{
    StepResult status;
    PictureExtras extras;
};

// The ICC profile a tool left beside its output, PREFIXicc; empty when there is none, or it is unreadable or
// larger than the protocol's bound.
QByteArray readIccProfile(const QString& prefix);

// Reads the side files of the splitter's output PREFIX. The transform file must be there and well-formed
// (a failure otherwise): without it the picture could come out sideways while looking right. The profile
// and the Exif block are optional, and left out when unreadable or too large.
PictureExtrasResult readPictureExtras(const QString& prefix);

// The colour's bit depth the splitter recorded beside its output PREFIX (PREFIXdepth): the larger of luma and
// chroma, 8 when there is no such file or it is not "LUMA CHROMA\n" of two numbers from 8 to 16.
int readColourDepth(const QString& prefix);

// What PREFIXkind says a picture of a kind not converted is ("av01", "av01 in grid"); empty when the file is
// missing, too large, or holds anything but one line of printable ASCII.
QString readPictureKind(const QString& prefix);

// Applies the steps to the picture and, for the formats that carry one (everything but BMP), attaches the
// ICC profile when Qt can read it. A failure when the steps cannot be applied.
StepResult preparePicture(QImage& image, const PictureExtras& extras, OutputFormat format);
