// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The picture room (engine/picture/): a picture from its pixels to the saved file. The splitter's side files
// (crop, rotation and mirror steps, profile, Exif) and their application, JPEG and PNG files read through the
// picture reader, the conversion to sRGB, the Exif read and embedded with Exiv2, the output formats, the BMP
// writer, and the saver (this header). It uses the files room (the output file, descriptors) and the
// process room (the picture reader), never the tiles room, which uses it.

#include <memory>

#include <QByteArray>
#include <QImage>
#include <QString>

#include "core/filerules.h"
#include "engine/files/descriptor.h"
#include "engine/files/outputfile.h"
#include "engine/picture/exifembedding.h"
#include "engine/picture/outputformat.h"
#include "engine/process/toolrunner.h"
#include "engine/stepresult.h"

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
    // Srgb for pictures converted to sRGB: the Exif, when there is any, then says so.
    ExifColourSpace exifColourSpace = ExifColourSpace::AsTaken;
};

struct SaveResult
{
    StepResult status;
    QString path; // the name the file took
};

// A picture encoded in the given format at the given quality into a new file in the
// folder of names, not yet given a name (outputfile.h): the file goes with this object unless finish() gives
// it one. Every write is checked; a full disk fails with "not enough disk space".
class EncodedPicture final
{
public:
    EncodedPicture(const QImage& image, const OutputNames& names, OutputFormat format, int quality);
    ~EncodedPicture();
    EncodedPicture(const EncodedPicture&) = delete;
    EncodedPicture& operator=(const EncodedPicture&) = delete;

    // Whether the picture could be encoded.
    const StepResult& status() const { return encoded; }

    // Puts the Exif in, gives the file its modification time, checks that the file holds all that was
    // written and that it reached the disk, and names it the first of names that is free by then, without
    // following a link and without replacing anything: when another program takes a name meanwhile, the
    // next one is taken. Nothing is left behind when it fails or is stopped.
    SaveResult finish(const StopCheck& stop, const SaveExtras& extras);

private:
    const OutputNames names;
    const OutputFormat format;
    const QSize size;
    StepResult encoded;
    qint64 encodedBytes = 0;
    const Descriptor folder;
    std::unique_ptr<OutputFile> file; // goes before the folder's descriptor
};

// EncodedPicture and finish() in one step. The picture is taken by value so that its memory can go
// before the Exif is written.
SaveResult saveImage(QImage image, const OutputNames& names, OutputFormat format, const StopCheck& stop = {},
                     const SaveExtras& extras = {});
