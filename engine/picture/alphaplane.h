// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

// A picture's alpha plane put on its colour.

// Gives the colour (Format_ARGB32 or Format_RGB32 at 8 bits a sample, Format_RGBX64 at 16) the alpha that the
// plane's grey holds (Format_ARGB32, as its tiles decode: the grey in every colour byte), the plane scaled to
// the colour's size first when it has another. Colour premultiplied by the alpha is divided by it again, so
// that the picture holds what it shows. The colour becomes Format_ARGB32 or Format_RGBA64. False when there
// is no memory for the scaled plane; the colour is then unchanged.
bool applyAlphaPlane(QImage& colour, const QImage& plane, bool premultiplied);
