// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

// Exif for tests, through Exiv2: blocks made from tag values, and the tags a saved picture carries.
namespace vornetta::test {

// A TIFF-structured Exif block (from its header on) holding the given tags, keyed as Exiv2 names them
// ("Exif.Image.Make"); each value is read as Exiv2 reads a value of the tag's type ("48/1 51/1 30/1").
QByteArray exifBlock(const QMap<QString, QString>& tags);

// Every Exif tag of a picture file, as text; empty when it has none or cannot be read.
QMap<QString, QString> exifTagsOf(const QString& path);

// Replaces the Exif of a JPEG or PNG file (a PNG gets ImageMagick's "Raw profile type exif" text, as Exiv2
// writes it); whether it was written.
bool writeExifTags(const QString& path, const QMap<QString, QString>& tags);

// The PNG file with an eXIf chunk holding block put after its header chunk.
QByteArray withExifChunk(const QByteArray& png, const QByteArray& block);

// The item data of a HEIF Exif item: the offset of the TIFF header (0), then the block.
QByteArray exifItemData(const QByteArray& block);

} // namespace vornetta::test
