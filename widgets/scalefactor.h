// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>
#include <QString>

// The window's DPI scale: 1.0 until the main window computes it from the screen's logical DPI, then
// fixed for the rest of the run. Every design value of the main window and the dialogs is scaled by it.
extern float scaleFactor;

// The smaller of the two DPI ratios against 96 DPI, clamped to the range 1.0 to 1.5.
float scaleFactorFromDpi(double logicalDpiX, double logicalDpiY);

// factor, lowered where needed so that a window of designSize times it fits the available area of its
// screen, whatever the DPI or Qt's own scaling make of it.
float scaleFactorToFit(float factor, QSize designSize, QSize available);

// T(v): the design value v times scaleFactor (in double precision), truncated toward zero.
int scaled(double value);

// N(v): the decimal text of scaled(v), for style sheets.
QString scaledText(double value);
