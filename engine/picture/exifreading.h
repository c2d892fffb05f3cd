// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// The Exif of a JPEG or PNG file, for a picture converted from it.

enum class ExifContainer { Jpeg, Png };

struct SourceExif
{
    // TIFF-structured, from its header on, as embedExifInFile takes it; empty when the file has none, it
    // cannot be read or it passes the largest block the engine carries over.
    QByteArray block;
    int orientation = 1; // the Exif Orientation, 1 to 8; 1 when absent or out of range
};

// Reads the Exif with Exiv2 from a file whose first bytes said it is a JPEG (the APP1 segment) or a PNG
// (its eXIf chunk or the "Raw profile type exif" text). A file Exiv2 takes for another kind gives nothing.
SourceExif readSourceExif(const QString& path, ExifContainer container);
