// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/picture/readerfiles.h"

#include <array>
#include <cerrno>
#include <optional>

#include <QColorSpace>
#include <QFile>
#include <QtEndian>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/files/descriptor.h"
#include "engine/files/smallfile.h"
#include "engine/limits.h"
#include "engine/picture/pictureextras.h"
#include "engine/picture/picturememory.h"
#include "protocol/protocol.h"
#include "protocol/tilebmp.h"

namespace {

enum class Channels { Grey, Rgb, Rgba };

struct ReaderFormat
{
    int bits = 8;
    Channels channels = Channels::Rgb;
    bool srgb = false;
    quint32 gamma = 0;
    std::optional<std::array<quint32, 8>> chromaticities;
};

// A decimal number without sign or leading zeros, at most 9 digits.
std::optional<quint32> number(const QByteArray& field)
{
    const std::optional<qint64> value = decimalField(field, 0, 999'999'999);
    return value ? std::optional<quint32>(quint32(*value)) : std::nullopt;
}

// The format file exactly as the reader writes it, or nothing.
std::optional<ReaderFormat> parseFormat(const QByteArray& text)
{
    if (!text.endsWith('\n'))
        return std::nullopt;
    QList<QByteArray> lines = text.left(text.size() - 1).split('\n');
    const QList<QByteArray> pixels = lines.takeFirst().split(' ');
    if (pixels.size() != 3 || pixels[0] != "pixels" || (pixels[1] != "8" && pixels[1] != "16"))
        return std::nullopt;
    ReaderFormat format;
    format.bits = pixels[1].toInt();
    if (pixels[2] == "grey")
        format.channels = Channels::Grey;
    else if (pixels[2] == "rgba")
        format.channels = Channels::Rgba;
    else if (pixels[2] != "rgb")
        return std::nullopt;
    if (!lines.isEmpty() && lines.first() == "srgb") {
        format.srgb = true;
        lines.removeFirst();
    }
    if (!lines.isEmpty() && lines.first().startsWith("gamma ")) {
        const std::optional<quint32> gamma = number(lines.takeFirst().mid(6));
        if (!gamma || *gamma == 0)
            return std::nullopt;
        format.gamma = *gamma;
    }
    if (!lines.isEmpty() && lines.first().startsWith("chromaticities ")) {
        const QList<QByteArray> fields = lines.takeFirst().mid(15).split(' ');
        if (fields.size() != 8)
            return std::nullopt;
        std::array<quint32, 8> values{};
        for (int n = 0; n < 8; ++n) {
            const std::optional<quint32> value = number(fields[n]);
            if (!value)
                return std::nullopt;
            values[std::size_t(n)] = *value;
        }
        format.chromaticities = values;
    }
    if (!lines.isEmpty())
        return std::nullopt;
    return format;
}

// The colour space Qt's own reader names for such a file: the profile's when Qt can read it, else sRGB, else
// the gamma over the chunk's primaries or sRGB's.
QColorSpace colourSpaceOf(const QByteArray& profile, const ReaderFormat& format)
{
    if (!profile.isEmpty()) {
        const QColorSpace space = QColorSpace::fromIccProfile(profile);
        if (space.isValid())
            return space;
    }
    if (format.srgb)
        return QColorSpace(QColorSpace::SRgb);
    if (format.gamma == 0)
        return {};
    const float gamma = 1.0f / float(format.gamma * .00001);
    if (format.chromaticities) {
        const auto point = [&](std::size_t n) {
            return QPointF((*format.chromaticities)[n] * .00001, (*format.chromaticities)[n + 1] * .00001);
        };
        const QColorSpace space(point(0), point(2), point(4), point(6), QColorSpace::TransferFunction::Gamma,
                                gamma);
        if (space.isValid())
            return space;
    }
    return QColorSpace(QColorSpace::Primaries::SRgb, QColorSpace::TransferFunction::Gamma, gamma);
}

ReaderPicture failed(const StepResult& status)
{
    return failedWith<ReaderPicture>(status);
}

StepResult unreadable()
{
    return StepResult::failed(FailureKind::WorkFolder,
                              QStringLiteral("cannot read the picture reader's output"));
}

// The 8-bit pixels: a tile BMP read straight into the picture, grey taken from one of its equal samples.
ReaderPicture readBmp(const QString& path, Channels channels)
{
    const Descriptor fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!fd.isOpen())
        return failed(unreadable());
    const protocol::TileBmpCheck bmp = checkTileBmpFile(fd.get());
    if (bmp.layout != protocol::TileBmpLayout::Ours ||
        bmp.width > std::uint32_t(protocol::kMaxConvertedSide) ||
        bmp.height > std::uint32_t(protocol::kMaxConvertedSide))
        return failed(unreadable());
    const QSize size(int(bmp.width), int(bmp.height));
    ReaderPicture result;
    result.picture =
        newPicture(size, channels == Channels::Rgba ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (result.picture.isNull())
        return failed(StepResult::outOfMemory());
    // 32-bit rows need no padding: the file's pixels are the picture's memory.
    if (!readAt(fd.get(), result.picture.bits(), std::size_t(result.picture.sizeInBytes()),
                protocol::kTileBmpHeaderBytes))
        return failed(unreadable());
    if (channels == Channels::Grey) {
        QImage grey = newPicture(size, QImage::Format_Grayscale8);
        if (grey.isNull())
            return failed(StepResult::outOfMemory());
        for (int y = 0; y < size.height(); ++y) {
            const uchar* from = result.picture.constScanLine(y);
            uchar* to = grey.scanLine(y);
            for (int x = 0; x < size.width(); ++x)
                to[x] = from[4 * x];
        }
        result.picture = std::move(grey);
    }
    return result;
}

// The 16-bit pixels: a PAM of exactly the header our reader writes and the samples it promises.
ReaderPicture readPam(const QString& path, Channels channels)
{
    const Descriptor fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    struct stat info = {};
    if (!fd.isOpen() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return failed(unreadable());
    char start[kMaxPamHeaderBytes] = {};
    const ssize_t got = ::pread(fd.get(), start, sizeof start, 0);
    const QByteArray head(start, got > 0 ? qsizetype(got) : 0);
    const qsizetype end = head.indexOf("ENDHDR\n");
    const QList<QByteArray> lines = head.left(end).split('\n');
    if (end < 0 || lines.size() != 7 || lines[0] != "P7" || !lines[1].startsWith("WIDTH ") ||
        !lines[2].startsWith("HEIGHT ") || !lines[6].isEmpty())
        return failed(unreadable());
    const bool grey = channels == Channels::Grey;
    const std::optional<quint32> width = number(lines[1].mid(6));
    const std::optional<quint32> height = number(lines[2].mid(7));
    if (!width || !height || *width == 0 || *height == 0 || *width > quint32(protocol::kMaxConvertedSide) ||
        *height > quint32(protocol::kMaxConvertedSide) || lines[3] != (grey ? "DEPTH 1" : "DEPTH 4") ||
        lines[4] != "MAXVAL 65535" || lines[5] != (grey ? "TUPLTYPE GRAYSCALE" : "TUPLTYPE RGB_ALPHA"))
        return failed(unreadable());
    const std::size_t rowBytes = std::size_t(*width) * (grey ? 2 : 8);
    const off_t headerBytes = off_t(end + 7);
    if (std::uint64_t(rowBytes) * *height > protocol::kMaxPictureBytes ||
        std::uint64_t(info.st_size) != std::uint64_t(headerBytes) + std::uint64_t(rowBytes) * *height)
        return failed(unreadable());

    ReaderPicture result;
    const QImage::Format kind =
        grey ? QImage::Format_Grayscale16
             : (channels == Channels::Rgba ? QImage::Format_RGBA64 : QImage::Format_RGBX64);
    result.picture = newPicture(int(*width), int(*height), kind);
    if (result.picture.isNull())
        return failed(StepResult::outOfMemory());
    for (int y = 0; y < result.picture.height(); ++y) {
        uchar* row = result.picture.scanLine(y);
        if (!readAt(fd.get(), row, rowBytes, headerBytes + off_t(rowBytes) * y))
            return failed(unreadable());
        qFromBigEndian<quint16>(row, qsizetype(rowBytes / 2), row);
    }
    return result;
}

} // namespace

ReaderPicture readReaderFiles(const QString& prefix)
{
    const std::optional<QByteArray> text =
        readSmallFile(prefix + protocol::kReadFormatFile, kMaxReaderFormatFileBytes);
    const std::optional<ReaderFormat> format = text ? parseFormat(*text) : std::nullopt;
    if (!format)
        return failed(unreadable());
    ReaderPicture result = format->bits == 8 ? readBmp(prefix + protocol::kReadBmpFile, format->channels)
                                             : readPam(prefix + protocol::kReadPamFile, format->channels);
    if (!result.status.ok())
        return result;
    const QColorSpace space = colourSpaceOf(readIccProfile(prefix), *format);
    if (space.isValid())
        result.picture.setColorSpace(space);
    return result;
}

void removeReaderFiles(const QString& prefix)
{
    for (const char* name : {protocol::kReadBmpFile, protocol::kReadPamFile, protocol::kIccProfileFile,
                             protocol::kReadFormatFile})
        ::unlink(QFile::encodeName(prefix + name).constData());
}
