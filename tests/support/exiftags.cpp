// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/exiftags.h"

#include <exception>

#include <QFile>

#include <exiv2/exiv2.hpp>

#include "fixtures/heifwriter.h"
#include "tests/support/picturefiles.h"

namespace vornetta::test {

QByteArray exifBlock(const QMap<QString, QString>& tags)
{
    try {
        Exiv2::ExifData data;
        for (auto tag = tags.begin(); tag != tags.end(); ++tag)
            data[tag.key().toStdString()].setValue(tag.value().toStdString());
        Exiv2::Blob blob;
        Exiv2::ExifParser::encode(blob, Exiv2::bigEndian, data);
        return QByteArray(reinterpret_cast<const char*>(blob.data()), qsizetype(blob.size()));
    } catch (const std::exception&) {
        return {};
    }
}

QMap<QString, QString> exifTagsOf(const QString& path)
{
    QMap<QString, QString> tags;
    try {
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(QFile::encodeName(path).toStdString());
        image->readMetadata();
        for (const Exiv2::Exifdatum& datum : image->exifData())
            tags.insert(QString::fromStdString(datum.key()), QString::fromStdString(datum.toString()));
    } catch (const std::exception&) {
        return {};
    }
    return tags;
}

bool writeExifTags(const QString& path, const QMap<QString, QString>& tags)
{
    try {
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(QFile::encodeName(path).toStdString());
        image->readMetadata();
        Exiv2::ExifData data;
        for (auto tag = tags.begin(); tag != tags.end(); ++tag)
            data[tag.key().toStdString()].setValue(tag.value().toStdString());
        image->setExifData(data);
        image->writeMetadata();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

QByteArray withExifChunk(const QByteArray& png, const QByteArray& block)
{
    return withPngChunks(png, pngChunk("eXIf", block));
}

QByteArray exifItemData(const QByteArray& block)
{
    QByteArray data;
    heif::putU32(data, 0);
    return data + block;
}

} // namespace vornetta::test
