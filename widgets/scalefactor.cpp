// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/scalefactor.h"

#include <algorithm>

float scaleFactor = 1.0f;

float scaleFactorFromDpi(double logicalDpiX, double logicalDpiY)
{
    const float dx = static_cast<float>(logicalDpiX / 96.0);
    const float dy = static_cast<float>(logicalDpiY / 96.0);
    const float factor = std::min(dx, dy);
    if (factor <= 1.0f)
        return 1.0f;
    if (factor >= 1.5f)
        return 1.5f;
    return factor;
}

float scaleFactorToFit(float factor, QSize designSize, QSize available)
{
    if (designSize.isEmpty() || available.isEmpty())
        return factor;
    const float across = static_cast<float>(available.width()) / static_cast<float>(designSize.width());
    const float down = static_cast<float>(available.height()) / static_cast<float>(designSize.height());
    return std::min({factor, across, down});
}

int scaled(double value)
{
    return static_cast<int>(value * static_cast<double>(scaleFactor));
}

QString scaledText(double value)
{
    return QString::number(scaled(value));
}
