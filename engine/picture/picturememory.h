// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>

// The memory of a whole picture: the canvas the tiles are placed on, an alpha plane's canvas, an overlay's
// canvas. Every such picture the engine makes itself comes from here, so that how it is allocated is decided
// in one place. A null image when there is no memory for it.
QImage newPicture(QSize size, QImage::Format format);
