// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include "engine/stepresult.h"

// JPEG and PNG files, whatever their name: phones' "most compatible" exports and cloud take-outs hand them
// out named IMG_0001.HEIC. Qt's reader takes them in the program's own process, bounded as a stitched
// picture is.

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

// Reads the file with Qt's reader of that kind alone, turned as its Exif Orientation says. Fails with
// "picture larger than 10239 pixels" before decoding anything larger, "not enough memory" for a picture
// whose pixels would pass Qt's reading limit, and "damaged JPEG file" or "damaged PNG file".
PictureFile readPictureFile(const QString& path, PictureFileKind kind);
