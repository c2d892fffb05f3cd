#pragma once

#include <QImage>
#include <QString>

#include "tests/support/heifwriter.h"

// HEIC test files made at run time from pictures the tests draw: grid files assembled by our own test
// writer around tiles that the real ffmpeg (libx265) encodes, and single-image files from the real heif-enc.
namespace vornetta::test {

// A deterministic picture: smooth gradients with a few sharp shapes on top. The same arguments always give
// the same pixels. Format_RGB32.
QImage drawTestPicture(int width, int height);

// Encodes picture (any size, even sizes keep 4:2:0 exact) as one HEVC frame with ffmpeg/libx265 at high
// quality. Returns an empty string and the Annex-B stream in annexB, or the reason it failed.
QString encodeHevc(const QImage& picture, QByteArray* annexB);

// Cuts picture into tiles of tileWidth x tileHeight (edge tiles padded to the full tile size), encodes each
// and fills file with a grid image of them: item 1 is the grid (primary), items 2.. the tiles in row-major
// order, properties 1 hvcC (shared by all tiles), 2 tile ispe, 3 grid ispe. Tests change file afterwards
// for variants. Returns an empty string, or the reason it failed.
QString buildGridHeif(const QImage& picture, int tileWidth, int tileHeight, heif::File* file);

// buildGridHeif written to path. Returns an empty string on success, otherwise the reason.
QString writeGridHeic(const QImage& picture, int tileWidth, int tileHeight, const QString& path);

// A single coded image made by the real heif-enc at quality 90. Returns an empty string on success,
// otherwise the reason.
QString writeSingleHeic(const QImage& picture, const QString& path);

// Decodes a file ffmpeg can read (a tile stream, a picture) to an RGB32 picture; a null image on failure,
// with the reason in error when given.
QImage decodeWithFfmpeg(const QString& path, QString* error = nullptr);

// The PSNR in dB over the R, G and B channels; infinity for identical pictures, 0 when the sizes differ.
double psnr(const QImage& a, const QImage& b);

// The largest difference of any R, G or B value between the two pictures; -1 when the sizes differ.
int largestChannelDifference(const QImage& a, const QImage& b);

// The system's ffmpeg (/usr/bin/ffmpeg, else the one on PATH), to encode fixtures and to decode for
// reference.
QString ffmpegPath();

} // namespace vornetta::test
