// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include "engine/picture/outputformat.h"

class QCommandLineParser;

// What a vornetta-convert command line asks for.
struct ConvertOptions
{
    OutputFormat format = OutputFormat::Jpg;
    QString outputFolder;    // empty: each file's own folder
    int quality = -1;        // 0 to 100, or -1 for the writer's default
    int jobs = 2;            // files in flight at once, 1 to kMostJobs
    bool srgb = false;       // colours converted to sRGB (ConversionRequest::srgb)
    bool allImages = false;  // every picture of each file, not its primary alone
    int depth = 16;          // 16: PNG files of deeper pictures in 16 bits; 8: in 8 (--depth)
    QList<QByteArray> paths; // files and folders, as the bytes given
};

// The most files vornetta-convert keeps in flight at once.
inline constexpr int kMostJobs = 64;

enum class ConvertCommand { Run, ShowHelp, ShowVersion, UsageError };

// Sets the parser up with vornetta-convert's options and reads the arguments (argv, the program's name
// first) into options. Files and folders keep the bytes they were given, UTF-8 or not; an option's value
// that is not UTF-8 is a usage error. On a usage error, error says in one line what is wrong.
ConvertCommand parseConvertArguments(QCommandLineParser& parser, const QList<QByteArray>& arguments,
                                     ConvertOptions* options, QString* error);
