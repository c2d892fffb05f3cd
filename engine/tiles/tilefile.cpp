// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/tiles/tilefile.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>
#include <utility>

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

// "P6\nWIDTH HEIGHT\n65535\n", as both decoders write it: its length, and the size it gives; nothing for
// anything else.
std::optional<std::pair<std::size_t, QSize>> ppmHeader(const char* bytes, std::size_t length)
{
    const std::string_view text(bytes, length);
    if (text.substr(0, 3) != "P6\n")
        return std::nullopt;
    std::size_t at = 3;
    int sides[2] = {0, 0};
    for (int& side : sides) {
        const std::size_t start = at;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9' && at - start < 6)
            side = side * 10 + (text[at++] - '0');
        if (at == start || text[start] == '0' || at >= text.size() ||
            text[at] != (&side == sides ? ' ' : '\n'))
            return std::nullopt;
        ++at;
    }
    if (text.substr(at, 6) != "65535\n")
        return std::nullopt;
    return std::pair{at + 6, QSize(sides[0], sides[1])};
}

} // namespace

void TileFile::openPpm()
{
    deep = true;
    char header[32];
    struct stat info
    {};
    if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode))
        return;
    const std::size_t length = std::min<std::size_t>(sizeof header, std::size_t(info.st_size));
    if (!readAt(descriptor, header, length, 0))
        return;
    const auto parsed = ppmHeader(header, length);
    // Exactly the pixels the header promises, as for a BMP.
    if (!parsed || std::uint64_t(info.st_size) != parsed->first + std::uint64_t(parsed->second.width()) *
                                                                      std::uint64_t(parsed->second.height()) *
                                                                      6)
        return;
    ppmHeaderBytes = parsed->first;
    headerSize = parsed->second;
}

TileFile::TileFile(const std::string& path)
{
    descriptor = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor < 0)
        return;
    constexpr std::size_t kDeepSuffixLength = sizeof protocol::kDecodedDeepTileSuffix - 1;
    if (path.size() > kDeepSuffixLength && path.compare(path.size() - kDeepSuffixLength, kDeepSuffixLength,
                                                        protocol::kDecodedDeepTileSuffix) == 0) {
        openPpm();
        return;
    }
    // Exactly the pixels the header promises: a file of our layout cut short is no tile.
    const protocol::TileBmpCheck bmp = checkTileBmpFile(descriptor);
    if (bmp.layout == protocol::TileBmpLayout::Ours) {
        headerSize = QSize(int(bmp.width), int(bmp.height));
        return;
    }
    if (bmp.layout == protocol::TileBmpLayout::Damaged) {
        ::close(descriptor);
        descriptor = -1;
        return;
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
    const std::size_t count = std::size_t(headerSize.width()) * std::size_t(headerSize.height());
    if (deep) {
        // The 6-byte pixels are read into the buffer's last three quarters and widened to 8 bytes from the
        // front: pixel n is written over bytes that pixel n and those before it took.
        std::vector<std::uint8_t>& pixels = pixelBuffer();
        pixels.resize(count * 8);
        std::uint8_t* const raw = pixels.data() + count * 2;
        if (!readAt(descriptor, raw, count * 6, off_t(ppmHeaderBytes)))
            return false;
        for (std::size_t n = 0; n < count; ++n) {
            const std::uint8_t* in = raw + n * 6;
            const std::uint16_t pixel[4] = {std::uint16_t(in[0] << 8 | in[1]),
                                            std::uint16_t(in[2] << 8 | in[3]),
                                            std::uint16_t(in[4] << 8 | in[5]), 0xffff};
            std::memcpy(pixels.data() + n * 8, pixel, 8);
        }
        return true;
    }
    if (descriptor >= 0) {
        std::vector<std::uint8_t>& pixels = pixelBuffer();
        pixels.resize(count * 4);
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

const std::uint8_t* TileFile::row(int y) const
{
    if (descriptor >= 0)
        return pixelBuffer().data() + std::size_t(y) * std::size_t(headerSize.width()) * bytesPerPixel();
    return picture.constScanLine(y);
}
