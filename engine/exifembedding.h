#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

// Puts a camera's Exif block (TIFF-structured, from its header on) into an encoded JPEG or PNG file, with
// Exiv2. The picture is already upright, so the Orientation becomes 1, the pixel dimensions become the
// picture's size, and the camera's thumbnail (still the unturned, uncropped picture) is left out. Date
// taken, camera make and model, GPS and the rest are kept. False, with Exiv2's words in error and
// encoded unchanged, when the block cannot be read or written.
bool embedExif(QByteArray& encoded, const QByteArray& exif, const QSize& pictureSize,
               QString* error = nullptr);
