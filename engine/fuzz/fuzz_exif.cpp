// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: a camera's Exif block, as the splitter hands it over, put into a saved JPEG or PNG by
// Exiv2 inside the program's own process. The first input byte picks the picture format, the rest is the
// block. Exiv2 itself is the system's library, without coverage; the seeds are real camera blocks.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QString>

#include <sys/mman.h>
#include <unistd.h>

#include "engine/picture/exifembedding.h"

namespace {

QByteArray encodedPicture(const char* format)
{
    QImage picture(16, 8, QImage::Format_RGB32);
    picture.fill(0xff336699);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, format))
        std::abort();
    return bytes;
}

const QByteArray& jpeg()
{
    static const QByteArray bytes = encodedPicture("JPG");
    return bytes;
}

const QByteArray& png()
{
    static const QByteArray bytes = encodedPicture("PNG");
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray& original = (data[0] & 1) ? png() : jpeg();
    const QByteArray exif(reinterpret_cast<const char*>(data + 1), static_cast<int>(size - 1));
    // The saver hands over an open file: a file in memory here.
    const int fd = memfd_create("picture", MFD_CLOEXEC);
    if (fd < 0 || write(fd, original.constData(), size_t(original.size())) != original.size())
        std::abort();
    const ExifEmbedding embedded = embedExifInFile(fd, exif, QSize(16, 8)).outcome;
    QByteArray result(int(lseek(fd, 0, SEEK_END)), '\0');
    if (pread(fd, result.data(), size_t(result.size()), 0) != result.size())
        std::abort();
    close(fd);
    // A block left out leaves the picture as it was; one put in keeps it a picture of its format. Nothing
    // here may fail to write.
    if (embedded == ExifEmbedding::CannotWrite ||
        (embedded == ExifEmbedding::LeftOut && result != original) ||
        (embedded == ExifEmbedding::Embedded && result.left(4) != original.left(4)))
        std::abort();
    return 0;
}
