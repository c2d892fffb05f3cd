#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include "core/filerules.h"
#include "engine/stepresult.h"
#include "engine/toolrunner.h"

// What a saved file carries besides the pixels (and the colour space the picture names).
struct SaveExtras
{
    // A camera's Exif block, from its TIFF header on, for JPG and PNG files (exifembedding.h). A block
    // that cannot be written is left out: the picture is still saved.
    QByteArray exif;
    // The file whose modification time the saved file gets, so that photos sorted by file date stay in the
    // order they were taken. Left alone when that file cannot be read.
    QString modificationTimeFrom;
    // The writer's quality from 0 to 100, or -1 for its default.
    int quality = -1;
};

struct SaveResult
{
    StepResult status;
    QString path; // the name the file took
};

// Saves the picture in the given format ("JPG", "PNG", "BMP") at extras.quality under the first of names
// that is free when the file is complete. The file is written under a temporary name in the output folder
// and moved to its name only once complete (with its Exif and modification time), without following a link
// and without replacing anything: when another program takes the name meanwhile, the next one is taken. So a
// failed or stopped save leaves nothing behind, and no existing file, link or folder is ever touched. The
// picture is taken by value so that its memory can go before the Exif is written.
SaveResult saveImage(QImage image, const OutputNames& names, const QByteArray& format,
                     const StopCheck& stop = {}, const SaveExtras& extras = {});
