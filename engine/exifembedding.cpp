#include "engine/exifembedding.h"

#include <exception>
#include <mutex>

#include <exiv2/exiv2.hpp>

namespace {

bool fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

// Exiv2 writes its warnings to standard error; the caller reports what matters.
void muteExiv2()
{
    static std::once_flag once;
    std::call_once(once, [] { Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute); });
}

// Sets a tag the block already has, keeping its absence otherwise.
void replaceNumber(Exiv2::ExifData& data, const char* key, std::uint32_t value)
{
    const auto found = data.findKey(Exiv2::ExifKey(key));
    if (found != data.end())
        found->setValue(std::to_string(value));
}

} // namespace

bool embedExif(QByteArray& encoded, const QByteArray& exif, const QSize& pictureSize, QString* error)
{
    muteExiv2();
    try {
        Exiv2::ExifData data;
        Exiv2::ExifParser::decode(data, reinterpret_cast<const Exiv2::byte*>(exif.constData()),
                                  static_cast<std::uint32_t>(exif.size()));
        if (data.empty())
            return fail(error, QStringLiteral("the Exif block holds no tags"));
        Exiv2::ExifThumb(data).erase();
        data["Exif.Image.Orientation"] = std::uint16_t(1);
        replaceNumber(data, "Exif.Photo.PixelXDimension", std::uint32_t(pictureSize.width()));
        replaceNumber(data, "Exif.Photo.PixelYDimension", std::uint32_t(pictureSize.height()));

        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(
            reinterpret_cast<const Exiv2::byte*>(encoded.constData()), static_cast<long>(encoded.size()));
        if (!image.get())
            return fail(error, QStringLiteral("Exiv2 cannot open the picture"));
        image->readMetadata();
        image->setExifData(data);
        image->writeMetadata();

        Exiv2::BasicIo& io = image->io();
        if (io.open() != 0)
            return fail(error, QStringLiteral("Exiv2 cannot read back the picture"));
        const long size = static_cast<long>(io.size());
        const Exiv2::DataBuf written = io.read(size);
        io.close();
        if (size <= 0 || written.size_ != size)
            return fail(error, QStringLiteral("Exiv2 cannot read back the picture"));
        encoded = QByteArray(reinterpret_cast<const char*>(written.pData_), written.size_);
        return true;
    } catch (const std::exception& exception) {
        return fail(error, QString::fromLocal8Bit(exception.what()));
    }
}
