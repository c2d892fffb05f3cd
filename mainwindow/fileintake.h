// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class QUrl;

// Why a path offered to the window did not join its list.
enum class LeftOutReason {
    NotHeic,      // a drop or a pick without the suffix .heic
    NotFound,     // nothing there, or a link to nowhere
    NotAFile,     // a device, pipe or socket named on the command line, or a URL of another computer
    NotUtf8,      // a name no QString can hold: Qt would decode it lossily and then name another file
    NoHeifFile,   // a named folder without any .heic, .heif or .hif file below it
    TooManyFiles, // a named folder with more files than one walk takes: the rest of it
};

struct LeftOut
{
    QString name; // the path as offered (lossily decoded for NotUtf8), or the URL
    LeftOutReason reason;
};

// What an offer comes to: the files for the list in their order, and what was left out and why.
struct FileIntake
{
    QStringList files;
    QList<LeftOut> leftOut;
};

// The most files one named folder gives; the rest is left out.
inline constexpr int kMostFilesFromAFolder = 10000;

// Files named on vornetta's command line or handed over by a later start, as the system's bytes and
// absolute. A file joins whatever its suffix: the engine reads by content. A folder gives its .heic,
// .heif and .hif files in any case, sub-folders included, in name order, folder by folder; hidden entries
// are left out and linked folders are not entered, as vornetta-convert walks. Devices, pipes, sockets and
// missing paths are left out.
FileIntake takeNamedPaths(const QList<QByteArray>& paths);

// Picks from the file dialog: the suffix .heic in any case and something there, as the list has always
// taken them (a folder so named too); the engine tells what it then cannot read.
FileIntake takeHeicPaths(const QStringList& paths);

// Dropped URLs: local ones go by the picks' rule.
FileIntake takeDroppedUrls(const QList<QUrl>& urls);

// Relative names joined to the current folder, byte for byte, so that another process may take them.
QList<QByteArray> absolutePaths(const QList<QByteArray>& paths);
