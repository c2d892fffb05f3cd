// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>

#include "engine/stepresult.h"

// The picture reader's files in the work folder (protocol.h), read back as the picture Qt's reader gives for
// the file: Format_Grayscale8, RGB32 or ARGB32 at 8 bits a sample, Grayscale16, RGBX64 or RGBA64 at 16 bits,
// naming the colour space its profile gives, or else its sRGB or gAMA and cHRM chunks.

struct ReaderPicture
{
    StepResult status;
    QImage picture;
};

// Reads PREFIXformat, the pixels it names and PREFIXicc (left out when larger than the protocol's bound).
// Fails when the files are not exactly what the reader writes, and when there is no memory for the picture.
ReaderPicture readReaderFiles(const QString& prefix);

// Removes the reader's files, the pixels before all.
void removeReaderFiles(const QString& prefix);
