// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>

// JPEG and PNG files for the picture reader's tests, of the kinds Qt does not write and hostile ones, made
// byte by byte or with libjpeg and libpng.
namespace vornetta::test {

// A PNG chunk (length, type, data, CRC), and the file with chunks put right after its header chunk.
QByteArray pngChunk(const QByteArray& type, const QByteArray& data);
QByteArray withPngChunks(const QByteArray& png, const QByteArray& chunks);
// The bytes as the zlib stream a zTXt or iCCP chunk holds.
QByteArray zlibStream(const QByteArray& bytes);

// The picture written by libpng in colour type 0, 2, 4 or 6 at 8 or 16 bits (each 16-bit sample's low byte
// differs from its high one), Adam7-interlaced when asked. Colour types with alpha get a gradient of it.
QByteArray pngOf(const QImage& picture, int colourType, int depth, bool interlaced = false);

// An RGB PNG whose header claims the size and depth, with no pixels behind it.
QByteArray pngClaiming(quint32 width, quint32 height, int depth);

// The picture written by libjpeg in CMYK or YCCK with Adobe's marker, the samples inverted as Adobe's
// applications store them.
QByteArray adobeJpegOf(const QImage& picture, bool ycck);

// The JPEG with the ICC profile in APP2 segments right after its start.
QByteArray withJpegProfile(const QByteArray& jpeg, const QByteArray& profile);

// A progressive grey JPEG of the size whose scans hold no data.
QByteArray jpegOfEmptyScans(int width, int height, int scans);

} // namespace vornetta::test
