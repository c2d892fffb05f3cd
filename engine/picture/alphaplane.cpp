// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/picture/alphaplane.h"

#include <algorithm>
#include <cstdint>

namespace {

// A sample premultiplied by alpha, as it was before: rounded, and never above the largest sample, which
// lossy coding can take a premultiplied sample past. Where alpha is 0 nothing shows and the sample stays.
template <typename Sample>
Sample unpremultiplied(Sample sample, Sample alpha, std::uint32_t largest)
{
    if (alpha == 0)
        return sample;
    return Sample(std::min<std::uint64_t>(largest, (std::uint64_t(sample) * largest + alpha / 2) / alpha));
}

void applyTo8Bit(QImage& colour, const QImage& plane, bool premultiplied)
{
    for (int y = 0; y < colour.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(colour.scanLine(y));
        const auto* alphaLine = reinterpret_cast<const QRgb*>(plane.constScanLine(y));
        for (int x = 0; x < colour.width(); ++x) {
            const auto alpha = std::uint8_t(qBlue(alphaLine[x]));
            QRgb pixel = line[x];
            if (premultiplied)
                pixel = qRgb(unpremultiplied<std::uint8_t>(std::uint8_t(qRed(pixel)), alpha, 255),
                             unpremultiplied<std::uint8_t>(std::uint8_t(qGreen(pixel)), alpha, 255),
                             unpremultiplied<std::uint8_t>(std::uint8_t(qBlue(pixel)), alpha, 255));
            line[x] = (pixel & 0x00ffffffu) | (QRgb(alpha) << 24);
        }
    }
    colour.reinterpretAsFormat(QImage::Format_ARGB32);
}

void applyTo16Bit(QImage& colour, const QImage& plane, bool premultiplied)
{
    for (int y = 0; y < colour.height(); ++y) {
        auto* line = reinterpret_cast<QRgba64*>(colour.scanLine(y));
        const auto* alphaLine = reinterpret_cast<const QRgb*>(plane.constScanLine(y));
        for (int x = 0; x < colour.width(); ++x) {
            const auto alpha = std::uint16_t(qBlue(alphaLine[x]) * 257);
            QRgba64& pixel = line[x];
            if (premultiplied) {
                pixel.setRed(unpremultiplied<std::uint16_t>(pixel.red(), alpha, 65535));
                pixel.setGreen(unpremultiplied<std::uint16_t>(pixel.green(), alpha, 65535));
                pixel.setBlue(unpremultiplied<std::uint16_t>(pixel.blue(), alpha, 65535));
            }
            pixel.setAlpha(alpha);
        }
    }
    colour.reinterpretAsFormat(QImage::Format_RGBA64);
}

} // namespace

bool applyAlphaPlane(QImage& colour, const QImage& plane, bool premultiplied)
{
    const QImage scaled =
        plane.size() == colour.size() ? plane : plane.scaled(colour.size(), Qt::IgnoreAspectRatio);
    if (scaled.isNull() || scaled.format() != QImage::Format_ARGB32)
        return false;
    if (colour.depth() == 64)
        applyTo16Bit(colour, scaled, premultiplied);
    else
        applyTo8Bit(colour, scaled, premultiplied);
    return true;
}
