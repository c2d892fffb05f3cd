// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

#include "engine/limits.h"
#include "engine/process/toolrunner.h"
#include "engine/stepresult.h"

// The most pixels the pictures of one file may decode to together: a picture of the largest size always,
// and for larger files kBudgetPixelsPerByte for each byte of the file. Real bursts bring coded data of their
// own for each picture and stay far within it; a small file whose pictures all share the same coded data
// does not.
qint64 workBudget(qint64 fileBytes);

struct ListedImage
{
    quint32 item = 0; // for ConversionRequest::item: the primary as 0
    // False when converting it would take the file past its work budget: it is not to be converted.
    bool withinBudget = true;
};

struct ImageList
{
    StepResult status;
    QList<ListedImage> images;
};

// The pictures a HEIC file holds as its own, as the splitter lists them (`heic --list`, with the pixels each
// decodes): the primary first, given as 0 so that it converts exactly as it does alone, then the item ids of
// the others. The primary is always within the budget; each other picture is when it and the pictures
// within it before it decode no more pixels together than workBudget of the file's size (a picture that
// decodes nothing always is, and converting it says why it cannot be converted). A file the
// splitter does not list is one picture, 0: converting it says what is wrong with it, or converts it when
// it is a file the engine reads another way. Fails with a reason when the file cannot be read, the splitter
// cannot be run or gives a list that cannot be true, or the file holds more than kMaxImagesPerFile
// pictures; with "stopped" when the stop check says so.
ImageList listImages(const QString& input, const StopCheck& stop = {});
