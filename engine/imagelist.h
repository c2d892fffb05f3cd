// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

#include "engine/stepresult.h"
#include "engine/toolrunner.h"

// The most pictures converted from one file: far above the frames of a burst, and each is a conversion of
// its own.
inline constexpr int kMaxImagesPerFile = 1024;

struct ImageList
{
    StepResult status;
    QList<quint32> items; // for ConversionRequest::item: the primary first, as 0
};

// The pictures a HEIC file holds as its own, as the splitter lists them (`heic --list`): the primary first,
// given as 0 so that it converts exactly as it does alone, then the item ids of the others. A file the
// splitter does not list is one picture, 0: converting it says what is wrong with it, or converts it when
// it is a file the engine reads another way. Fails with a reason when the file cannot be read, the splitter
// cannot be run or gives a list that cannot be true, or the file holds more than kMaxImagesPerFile
// pictures; with "stopped" when the stop check says so.
ImageList listImages(const QString& input, const StopCheck& stop = {});
