// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QRect>

// Every whole picture the engine makes comes from here: the canvas the tiles land on, the picture read from
// the picture reader, and the turned, cropped and mirrored copies. A picture of at least 2 MiB lies in a
// mapping of its own at a 2 MiB boundary, advised as huge pages (protocol/picturememory.h), so that writing
// it faults a few dozen times instead of thousands; a smaller one is an ordinary QImage. A few mappings given
// back are kept for the pictures after them, which then need no fresh memory at all. The rows are QImage's
// own, 32-bit aligned; the pixels are not cleared (the memory may be a picture's before).
// Null when there is no memory for it, as QImage's own constructor.
QImage newPicture(int width, int height, QImage::Format format);
inline QImage newPicture(QSize size, QImage::Format format)
{
    return newPicture(size.width(), size.height(), format);
}

// The copies the engine makes as it turns a picture upright, in memory from newPicture(), the pixels exactly
// those of QImage's copy(), transformed() by quarter turns and mirrored(). Null when there is no memory.
QImage croppedPicture(const QImage& picture, const QRect& rect);  // rect lies within the picture
QImage turnedPicture(const QImage& picture, int quarterTurns);    // 1 to 3 quarters, anticlockwise
QImage mirroredPicture(const QImage& picture, bool leftAndRight); // else top and bottom
