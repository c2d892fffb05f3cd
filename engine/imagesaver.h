#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

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

// Saves the picture in the given format ("JPG", "PNG", "BMP") at extras.quality. It is
// written under a temporary name in the output folder and renamed into place once complete (with its Exif
// and modification time), so a failed or stopped save leaves nothing behind and never replaces an existing
// file. False, with a few words in reason, when the file was not saved.
bool saveImageReplacing(const QImage& image, const QString& path, const QByteArray& format,
                        const StopCheck& stop = {}, QString* reason = nullptr, const SaveExtras& extras = {});
