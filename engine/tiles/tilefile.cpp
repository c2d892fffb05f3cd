// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/tiles/tilefile.h"

#include <cstdlib>

#include <QImageReader>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/files/descriptor.h"
#include "protocol/tilebmp.h"

namespace {

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
    std::uint8_t header[protocol::kTileBmpHeaderBytes];
    struct stat info
    {};
    if (::fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode) &&
        readAt(descriptor, header, sizeof header, 0)) {
        // Exactly the pixels the header promises: a file of our layout cut short is no tile.
        const protocol::TileBmpCheck bmp = protocol::checkTileBmpHeader(header, std::uint64_t(info.st_size));
        if (bmp.layout == protocol::TileBmpLayout::Ours) {
            headerSize = QSize(int(bmp.width), int(bmp.height));
            return;
        }
        if (bmp.layout == protocol::TileBmpLayout::Damaged) {
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
        return readAt(descriptor, pixels.data(), pixels.size(), protocol::kTileBmpHeaderBytes);
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
    return readAt(descriptor, into, std::size_t(headerSize.width()) * std::size_t(headerSize.height()) * 4,
                  protocol::kTileBmpHeaderBytes);
}

const std::uint8_t* TileFile::row(int y) const
{
    if (descriptor >= 0)
        return pixelBuffer().data() + std::size_t(y) * std::size_t(headerSize.width()) * 4;
    return picture.constScanLine(y);
}
