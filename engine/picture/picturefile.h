// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include "engine/process/toolrunner.h"
#include "engine/stepresult.h"

// JPEG and PNG files, whatever their name: phones' "most compatible" exports and cloud take-outs hand them
// out named IMG_0001.HEIC. Our picture reader (picturereader/) reads them in a process of its own, bounded
// and killable as the tile tools are, into the work folder; the Exif is read here.

enum class PictureFileKind { Other, Jpeg, Png };

// What the file's first bytes say: a JPEG (FF D8 FF) or a PNG (its 8-byte signature); Other for anything
// else, HEIC files included, and for a file that cannot be read.
PictureFileKind pictureFileKind(const QString& path);

struct PictureFile
{
    StepResult status;
    QImage picture;  // upright, naming the file's colour space when it has one
    QByteArray exif; // the file's Exif block for the saved file (exifreading.h); empty when none
};

// Has the picture reader read the file into the prepared work folder and turns the picture as its Exif
// Orientation says. Fails with "picture larger than 10239 pixels" before decoding anything larger, "not
// enough memory" for a picture that would pass the protocol's bound, "damaged JPEG file" or "damaged PNG
// file", and as a tool fails (not started, too long, crashed); a stop ends the reader within a second.
PictureFile readPictureFile(const QString& path, PictureFileKind kind, const QString& workFolder,
                            const StopCheck& stop = {});
