// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/picture/exifembedding.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

#include <exiv2/exiv2.hpp>

#include "engine/picture/exiv2setup.h"

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

// The open file as Exiv2 reads it, by a name that is the open file itself whatever its folder holds now.
// Exiv2 makes the new file in memory and hands it over to be written in place of the old one; Exiv2's own
// writing does not look at what the disk says, so this file writes it, checking every write.
// How the rewrite went; it outlives the Exiv2 objects, which go as an exception leaves them.
struct Rewrite
{
    bool started = false; // the old file is being written over: a failure from here on damages it
    int error = 0;
    qint64 written = -1;
};

class DescriptorIo final : public Exiv2::FileIo
{
public:
    DescriptorIo(int fd, Rewrite& rewrite)
        : Exiv2::FileIo("/proc/self/fd/" + std::to_string(fd))
        , fd(fd)
        , rewrite(rewrite)
    {}

    void transfer(Exiv2::BasicIo& source) override
    {
        rewrite.started = true;
        if (source.open() != 0)
            fail(EIO);
        Exiv2::IoCloser closer(source);
        std::vector<Exiv2::byte> buffer(1 << 20);
        off_t offset = 0;
        for (long n; (n = source.read(buffer.data(), long(buffer.size()))) > 0;) {
            for (long done = 0; done < n;) {
                const ssize_t wrote = pwrite(fd, buffer.data() + done, size_t(n - done), offset);
                if (wrote < 0 && errno == EINTR)
                    continue;
                if (wrote <= 0)
                    fail(wrote < 0 ? errno : ENOSPC);
                done += wrote;
                offset += wrote;
            }
        }
        if (source.error() != 0)
            fail(EIO);
        if (ftruncate(fd, offset) != 0)
            fail(errno);
        rewrite.written = offset;
    }

private:
    [[noreturn]] void fail(int writeError)
    {
        rewrite.error = writeError;
        throw Exiv2::Error(Exiv2::kerTransferFailed, path(), std::strerror(writeError));
    }

    const int fd;
    Rewrite& rewrite;
};

// Exiv2 0.27 takes the I/O object as a std::auto_ptr, which compilers warn of wherever it is named.
std::unique_ptr<Exiv2::Image> openImage(std::unique_ptr<Exiv2::BasicIo> io)
{
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    return owned(Exiv2::ImageFactory::open(Exiv2::BasicIo::AutoPtr(io.release())));
#pragma GCC diagnostic pop
}

} // namespace

ExifEmbeddingResult embedExifInFile(int fd, const QByteArray& exif, const QSize& pictureSize,
                                    ExifColourSpace colourSpace)
{
    prepareExiv2();
    Rewrite rewrite;
    try {
        const std::optional<Exiv2::ExifData> data = exifForPicture(exif, pictureSize, colourSpace);
        if (!data)
            return {};
        const std::unique_ptr<Exiv2::Image> image = openImage(std::make_unique<DescriptorIo>(fd, rewrite));
        if (!image)
            return {};
        image->readMetadata();
        image->setExifData(*data);
        image->writeMetadata();
        return {ExifEmbedding::Embedded, 0, rewrite.written};
    } catch (const std::exception&) {
        // A failure before the rewrite leaves the file as it was; one during it leaves it cut.
        if (rewrite.started)
            return {ExifEmbedding::CannotWrite, rewrite.error, -1};
        return {};
    }
}
