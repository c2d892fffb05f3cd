// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/picture/exifreading.h"

#include <exception>
#include <memory>

#include <QFile>

#include <exiv2/exiv2.hpp>

#include "engine/picture/exiv2setup.h"
#include "protocol/protocol.h"

SourceExif readSourceExif(const QString& path, ExifContainer container)
{
    prepareExiv2();
    SourceExif exif;
    try {
        const std::unique_ptr<Exiv2::Image> image =
            owned(Exiv2::ImageFactory::open(QFile::encodeName(path).toStdString()));
        const int expected =
            container == ExifContainer::Jpeg ? Exiv2::ImageType::jpeg : Exiv2::ImageType::png;
        if (!image || image->imageType() != expected)
            return exif;
        image->readMetadata();
        const Exiv2::ExifData& data = image->exifData();
        if (data.empty())
            return exif;
        const auto orientation = data.findKey(Exiv2::ExifKey("Exif.Image.Orientation"));
        if (orientation != data.end() && orientation->count() > 0) {
            const long value = orientation->toLong();
            if (value >= 1 && value <= 8)
                exif.orientation = int(value);
        }
        Exiv2::Blob blob;
        const Exiv2::ByteOrder order =
            image->byteOrder() == Exiv2::invalidByteOrder ? Exiv2::littleEndian : image->byteOrder();
        Exiv2::ExifParser::encode(blob, order, data);
        if (!blob.empty() && blob.size() <= protocol::kMaxExifBytes)
            exif.block = QByteArray(reinterpret_cast<const char*>(blob.data()), qsizetype(blob.size()));
    } catch (const std::exception&) {
        // What was read before the failure stands; the block is whole or absent.
    }
    return exif;
}
