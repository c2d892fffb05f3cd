#pragma once

#include <QString>

// Whether a path may join the file list: its suffix is "heic" in any case and something exists
// there. A folder named like a HEIC file passes; its contents are never scanned.
bool isAcceptedHeicPath(const QString& path);

// The first name not yet taken in folder for source converted to format: folder/base.format, then
// folder/base(0).format, folder/base(1).format and so on. The base name stops at the source's first
// dot, so my.photo.heic becomes my.jpg.
QString freeOutputName(const QString& folder, const QString& source, const QString& format);
