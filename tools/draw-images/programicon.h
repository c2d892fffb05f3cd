// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

// The program icon, drawn for one size in pixels: a green tile holding a photo print and, from 48 pixels
// up, a badge with the conversion arrows. Edges that are straight in the design fall on whole pixels at
// every size, and the smaller sizes leave out what would only blur (shadows, the badge, the sun).
QImage drawProgramIcon(int size);
