// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/tiles/tilefile.h"

#include <cerrno>
#include <cstring>

#include <QImageReader>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Our tile decoder's layout: the 14-byte file header and the 40-byte info header, then the pixels.
constexpr std::size_t kHeaderBytes = 54;

std::uint32_t le32(const std::uint8_t* at)
{
    return std::uint32_t(at[0]) | std::uint32_t(at[1]) << 8 | std::uint32_t(at[2]) << 16 |
           std::uint32_t(at[3]) << 24;
}

std::uint16_t le16(const std::uint8_t* at)
{
    return std::uint16_t(at[0] | at[1] << 8);
}

bool readFully(int descriptor, std::uint8_t* into, std::size_t bytes, off_t offset)
{
    while (bytes > 0) {
        const ssize_t got = ::pread(descriptor, into, bytes, offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        into += got;
        bytes -= std::size_t(got);
        offset += got;
    }
    return true;
}

// The pixels of the file being read, reused from tile to tile: placing happens on one thread per picture.
std::vector<std::uint8_t>& pixelBuffer()
{
    thread_local std::vector<std::uint8_t> buffer;
    return buffer;
}

} // namespace

TileFile::TileFile(const std::string& path)
{
    descriptor = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor < 0)
        return;
    std::uint8_t header[kHeaderBytes];
    struct stat info
    {};
    if (::fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode) &&
        readFully(descriptor, header, kHeaderBytes, 0) && header[0] == 'B' && header[1] == 'M' &&
        le32(header + 10) == kHeaderBytes && le32(header + 14) == 40 && le16(header + 26) == 1 &&
        le16(header + 28) == 32 && le32(header + 30) == 0) {
        const auto width = std::int32_t(le32(header + 18));
        const auto height = std::int32_t(le32(header + 22));
        // Top row first (a negative height), and exactly the pixels the header promises: a file cut short
        // is no tile.
        if (height < 0) {
            if (width > 0 && width < (1 << 20) && height > -(1 << 20) &&
                std::uint64_t(info.st_size) ==
                    kHeaderBytes + std::uint64_t(width) * std::uint64_t(-height) * 4) {
                headerSize = QSize(width, -height);
                return;
            }
            ::close(descriptor);
            descriptor = -1;
            return;
        }
    }
    ::close(descriptor);
    descriptor = -1;
    reader = std::make_unique<QImageReader>(QString::fromStdString(path), "bmp");
    reader->setAutoDetectImageFormat(false);
    const QSize size = reader->size();
    // Qt gives a top-down BMP's height as it is stored, negative.
    headerSize = QSize(size.width(), std::abs(size.height()));
}

TileFile::~TileFile()
{
    if (descriptor >= 0)
        ::close(descriptor);
}

bool TileFile::readPixels()
{
    if (!headerSize.isValid() || headerSize.isEmpty())
        return false;
    if (descriptor >= 0) {
        std::vector<std::uint8_t>& pixels = pixelBuffer();
        pixels.resize(std::size_t(headerSize.width()) * std::size_t(headerSize.height()) * 4);
        return readFully(descriptor, pixels.data(), pixels.size(), kHeaderBytes);
    }
    picture = reader->read();
    if (picture.isNull() || picture.size() != headerSize)
        return false;
    // The system's ffmpeg's colour pictures come as RGB32, already laid out as needed: no copy for them.
    if (picture.format() != QImage::Format_RGB32 && picture.format() != QImage::Format_ARGB32)
        picture = picture.convertToFormat(QImage::Format_ARGB32);
    return !picture.isNull();
}

bool TileFile::readPixelsInto(std::uint8_t* into)
{
    if (descriptor < 0 || !headerSize.isValid() || headerSize.isEmpty())
        return false;
    return readFully(descriptor, into, std::size_t(headerSize.width()) * std::size_t(headerSize.height()) * 4,
                     kHeaderBytes);
}

const std::uint8_t* TileFile::row(int y) const
{
    if (descriptor >= 0)
        return pixelBuffer().data() + std::size_t(y) * std::size_t(headerSize.width()) * 4;
    return picture.constScanLine(y);
}
