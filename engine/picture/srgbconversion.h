// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColorSpace>
#include <QImage>

#include "engine/stepresult.h"

// Turns the picture's colours from the colour space source into sRGB and makes the picture name sRGB, for
// viewers and web sites that ignore colour profiles and would show a Display P3 photo washed out. A
// picture with no colour space Qt can read (source not valid) is taken as sRGB already: its pixels stay,
// and it names sRGB all the same. Fails only when memory runs out.
StepResult convertToSrgb(QImage& picture, const QColorSpace& source);
