// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include <QString>

// Whether a path may join the file list: its suffix is "heic" in any case and something exists
// there. A folder named like a HEIC file passes; its contents are never scanned.
bool isAcceptedHeicPath(const QString& path);

// The names a converted file may take in its folder, in the order they are tried: folder/base.suffix, then
// folder/base(0).suffix, folder/base(1).suffix and so on; for the source's n-th picture from the second on,
// folder/base-n.suffix, folder/base-n(0).suffix and so on. A base too long for a name is shortened, at a
// character boundary, so that every name fits the file system's 255 bytes.
class OutputNames final
{
public:
    // The names of source's picture number image (from 1) converted to format: the base name stops at the
    // source's first dot, so my.photo.heic becomes my.jpg, and its second picture my-2.jpg.
    OutputNames(const QString& folder, const QString& source, const QString& format, int image = 1);

    // The names that continue from path: when path is one of the names of one of source's pictures, the
    // names from that one on; otherwise path itself, then path's own base with (0), (1) and so on.
    static OutputNames from(const QString& path, const QString& source);

    QString folder() const { return outputFolder; }
    // The file name of the n-th name, counted from the first one tried.
    QString fileName(int n) const;
    QString path(int n) const { return outputFolder + QLatin1Char('/') + fileName(n); }

private:
    OutputNames() = default;
    QString outputFolder;
    QString base;
    QString suffix;
    int image = 1;        // from 2 on, "-image" follows the base
    int firstNumber = -1; // -1: the plain name
};

// The first of OutputNames(folder, source, format, image) at which nothing exists: any entry takes a name,
// a dangling link or a folder too, and so does any path for which alsoTaken says yes.
QString freeOutputName(const QString& folder, const QString& source, const QString& format,
                       const std::function<bool(const QString&)>& alsoTaken = {}, int image = 1);
