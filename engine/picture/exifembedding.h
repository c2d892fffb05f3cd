// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QSize>

enum class ExifEmbedding {
    Embedded,
    LeftOut,     // the block could not be read or put in: the file is as it was
    CannotWrite, // the file could not be rewritten: it is damaged
};

enum class ExifColourSpace {
    AsTaken, // the camera's ColorSpace tag, if any, stays
    Srgb,    // the pixels were converted to sRGB: ColorSpace becomes 1
};

struct ExifEmbeddingResult
{
    ExifEmbedding outcome = ExifEmbedding::LeftOut;
    int error = 0;        // CannotWrite: the errno of the write that failed, or 0 when none said
    qint64 fileSize = -1; // Embedded: the bytes the rewritten file holds
};

// Puts a camera's Exif block (TIFF-structured, from its header on) into the encoded JPEG or PNG file open at
// fd (its whole content), with Exiv2, rewriting the file in place. The picture is already upright, so the
// Orientation becomes 1, the pixel dimensions become the picture's size, and the camera's thumbnail (still
// the unturned, uncropped picture) is left out. Date taken, camera make and model, GPS and the rest are
// kept. Only the rewritten file is held in memory, once; it goes to fd in checked writes.
ExifEmbeddingResult embedExifInFile(int fd, const QByteArray& exif, const QSize& pictureSize,
                                    ExifColourSpace colourSpace = ExifColourSpace::AsTaken);
