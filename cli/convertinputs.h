// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include "engine/stepresult.h"

// One file (or one picture of it) for vornetta-convert to convert, and the folder its converted file goes to.
struct ConvertJob
{
    QString input;        // as named on the command line, or joined to the folder named there
    QString outputFolder; // made when missing, just before the conversion
    quint32 item = 0;     // the picture to convert (ConversionRequest::item): 0 for the primary
    int image = 1;        // its place among the file's pictures, from 1, which names its output
    StepResult listing;   // a failure fails the job with that reason, unconverted
    // The path's bytes when they do not decode whole (decodesWhole), which the engine cannot name: the job
    // fails (listing) and its line shows these bytes. Empty for every other job.
    QByteArray undecodablePath;
};

// The files the command line names (as the bytes it gives them), in its order, each once. A file is taken
// whatever its name (the engine tells when it is not a HEIC file, or missing). A folder gives every .heic,
// .heif and .hif file below it (any case of the suffix) in name order, folder by folder; hidden entries are
// left out, and linked folders are not entered, so no walk can loop. With an output folder, files found
// below a named folder go to the same sub-folder below the output folder; otherwise every file's output
// goes beside it. A path that is not UTF-8 or starts with U+FEFF, named or found, is a job that fails with
// "the file name is not valid UTF-8": it is never passed over in silence, nor taken for another file. A named
// folder without any such file adds a line to notes. A stop signal ends the walk early.
QList<ConvertJob> collectConvertJobs(const QList<QByteArray>& paths, const QString& outputFolder,
                                     QStringList* notes);
