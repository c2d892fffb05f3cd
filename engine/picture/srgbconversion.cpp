// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/picture/srgbconversion.h"

StepResult convertToSrgb(QImage& picture, const QColorSpace& source)
{
    const QColorSpace srgb(QColorSpace::SRgb);
    // An sRGB profile in a grey or palette file is not one its readers expect: such pictures become RGB.
    if (picture.format() == QImage::Format_Grayscale16)
        picture = picture.convertToFormat(QImage::Format_RGBX64);
    else if (picture.pixelFormat().colorModel() != QPixelFormat::RGB)
        picture =
            picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (source.isValid() && source != srgb) {
        picture.setColorSpace(source);
        picture.convertToColorSpace(srgb);
    }
    if (picture.isNull())
        return StepResult::outOfMemory();
    picture.setColorSpace(srgb);
    return {};
}
