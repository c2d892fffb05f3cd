// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/exifembedding.h"

#include <exception>
#include <memory>
#include <optional>
#include <string>

#include <sys/stat.h>

#include <exiv2/exiv2.hpp>

#include "engine/exiv2setup.h"

namespace {

// Sets a tag the block already has, keeping its absence otherwise.
void replaceNumber(Exiv2::ExifData& data, const char* key, std::uint32_t value)
{
    const auto found = data.findKey(Exiv2::ExifKey(key));
    if (found != data.end())
        found->setValue(std::to_string(value));
}

// The camera's block as it goes into the picture, or nothing when it holds no tags.
std::optional<Exiv2::ExifData> exifForPicture(const QByteArray& exif, const QSize& pictureSize,
                                              ExifColourSpace colourSpace)
{
    Exiv2::ExifData data;
    Exiv2::ExifParser::decode(data, reinterpret_cast<const Exiv2::byte*>(exif.constData()),
                              static_cast<std::uint32_t>(exif.size()));
    if (data.empty())
        return std::nullopt;
    Exiv2::ExifThumb(data).erase();
    data["Exif.Image.Orientation"] = std::uint16_t(1);
    replaceNumber(data, "Exif.Photo.PixelXDimension", std::uint32_t(pictureSize.width()));
    replaceNumber(data, "Exif.Photo.PixelYDimension", std::uint32_t(pictureSize.height()));
    if (colourSpace == ExifColourSpace::Srgb)
        data["Exif.Photo.ColorSpace"] = std::uint16_t(1);
    return data;
}

off_t fileSize(int fd)
{
    struct stat info
    {};
    return ::fstat(fd, &info) == 0 ? info.st_size : -1;
}

} // namespace

ExifEmbedding embedExifInFile(int fd, const QByteArray& exif, const QSize& pictureSize,
                              ExifColourSpace colourSpace)
{
    prepareExiv2();
    const off_t encodedSize = fileSize(fd);
    try {
        const std::optional<Exiv2::ExifData> data = exifForPicture(exif, pictureSize, colourSpace);
        if (!data)
            return ExifEmbedding::LeftOut;
        // Exiv2 opens files by name; this name is the open file itself, whatever its folder holds now.
        const std::unique_ptr<Exiv2::Image> image =
            owned(Exiv2::ImageFactory::open("/proc/self/fd/" + std::to_string(fd)));
        if (!image)
            return ExifEmbedding::LeftOut;
        image->readMetadata();
        image->setExifData(*data);
        // Exiv2 makes the new file in memory and only then writes it over the old one.
        image->writeMetadata();
        return ExifEmbedding::Embedded;
    } catch (const std::exception&) {
        // A failure before the rewrite leaves the file as it was; one during it leaves it cut.
        return fileSize(fd) == encodedSize ? ExifEmbedding::LeftOut : ExifEmbedding::CannotWrite;
    }
}
