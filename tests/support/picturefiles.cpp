// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/picturefiles.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>
#include <png.h>

#include "fixtures/heifwriter.h"

namespace vornetta::test {

namespace {

void appendWritten(png_structp png, png_bytep data, png_size_t length)
{
    static_cast<QByteArray*>(png_get_io_ptr(png))
        ->append(reinterpret_cast<const char*>(data), qsizetype(length));
}

void flushNothing(png_structp) {}

} // namespace

QByteArray pngChunk(const QByteArray& type, const QByteArray& data)
{
    QByteArray chunk;
    heif::putU32(chunk, quint32(data.size()));
    chunk += type + data;
    // The CRC-32 of PNG (and zlib) over the type and the data.
    quint32 crc = 0xffffffffu;
    for (qsizetype i = 4; i < chunk.size(); ++i) {
        crc ^= quint8(chunk[i]);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    heif::putU32(chunk, ~crc);
    return chunk;
}

QByteArray withPngChunks(const QByteArray& png, const QByteArray& chunks)
{
    // The signature (8 bytes) and the header chunk (25) come first.
    return png.left(33) + chunks + png.mid(33);
}

QByteArray zlibStream(const QByteArray& bytes)
{
    return qCompress(bytes).mid(4); // qCompress puts the length first
}

QByteArray pngOf(const QImage& picture, int colourType, int depth, bool interlaced)
{
    const QImage source = picture.convertToFormat(QImage::Format_RGBA64);
    const int channels = colourType == 0 ? 1 : colourType == 4 ? 2 : colourType == 2 ? 3 : 4;
    const int width = source.width();
    std::vector<QByteArray> rows(std::size_t(source.height()));
    for (int y = 0; y < source.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgba64*>(source.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            const quint16 alpha = quint16(x * 65535 / std::max(1, width - 1));
            const quint16 grey = line[x].red();
            const quint16 all[4] = {line[x].red(), line[x].green(), line[x].blue(), alpha};
            const quint16 pairs[2] = {grey, alpha};
            const quint16* samples = channels <= 2 ? pairs : all;
            for (int c = 0; c < channels; ++c) {
                const quint8 high = quint8(samples[c] >> 8);
                rows[std::size_t(y)].append(char(high));
                if (depth == 16)
                    rows[std::size_t(y)].append(char(high ^ quint8(x * 3 + y)));
            }
        }
    }
    std::vector<png_bytep> pointers;
    for (QByteArray& row : rows)
        pointers.push_back(reinterpret_cast<png_bytep>(row.data()));

    QByteArray file;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_set_write_fn(png, &file, appendWritten, flushNothing);
        png_set_IHDR(png, info, png_uint_32(width), png_uint_32(source.height()), depth, colourType,
                     interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        png_set_rows(png, info, pointers.data());
        png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    } else {
        file.clear();
    }
    png_destroy_write_struct(&png, &info);
    return file;
}

QByteArray pngClaiming(quint32 width, quint32 height, int depth)
{
    QByteArray header;
    heif::putU32(header, width);
    heif::putU32(header, height);
    header += char(depth);
    header += QByteArray("\x02\x00\x00\x00", 4);
    return "\x89PNG\r\n\x1a\n" + pngChunk("IHDR", header) + pngChunk("IDAT", zlibStream("x")) +
           pngChunk("IEND", {});
}

QByteArray adobeJpegOf(const QImage& picture, bool ycck)
{
    const QImage source = picture.convertToFormat(QImage::Format_RGB32);
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(source.width());
    info.image_height = JDIMENSION(source.height());
    info.input_components = 4;
    info.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_colorspace(&info, ycck ? JCS_YCCK : JCS_CMYK);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(std::size_t(source.width()) * 4);
    for (int y = 0; y < source.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        for (int x = 0; x < source.width(); ++x) {
            // Inverted, as stored: some black, the colours then brighter.
            const int k = 255 - (x + y) % 64;
            row[std::size_t(x) * 4 + 0] = JSAMPLE(std::min(255, qRed(line[x]) * 255 / k));
            row[std::size_t(x) * 4 + 1] = JSAMPLE(std::min(255, qGreen(line[x]) * 255 / k));
            row[std::size_t(x) * 4 + 2] = JSAMPLE(std::min(255, qBlue(line[x]) * 255 / k));
            row[std::size_t(x) * 4 + 3] = JSAMPLE(k);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    const QByteArray file(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    return file;
}

QByteArray withJpegProfile(const QByteArray& jpeg, const QByteArray& profile)
{
    constexpr qsizetype kPart = 65519; // a segment's 65535 bytes less its length and the part's header
    const qsizetype count = (profile.size() + kPart - 1) / kPart;
    QByteArray segments;
    for (qsizetype n = 0; n < count; ++n) {
        const QByteArray part = profile.mid(n * kPart, kPart);
        segments += "\xff\xe2";
        heif::putU16(segments, quint16(part.size() + 16));
        segments += QByteArray("ICC_PROFILE\0", 12) + char(n + 1) + char(count) + part;
    }
    return jpeg.left(2) + segments + jpeg.mid(2);
}

QByteArray jpegOfEmptyScans(int width, int height, int scans)
{
    QByteArray file("\xff\xd8");
    file += QByteArray("\xff\xdb\x00\x43\x00", 5) + QByteArray(64, '\x01'); // one quantisation table
    file += QByteArray("\xff\xc2\x00\x0b\x08", 5);                          // progressive, 8 bits
    heif::putU16(file, quint16(height));
    heif::putU16(file, quint16(width));
    file += QByteArray("\x01\x01\x11\x00", 4); // one component
    // A DC and an AC table of one code each.
    for (const char tableClass : {'\x00', '\x10'})
        file += QByteArray("\xff\xc4\x00\x14", 4) + tableClass + '\x01' + QByteArray(15, '\0') + '\0';
    // Every scan names all AC coefficients and ends at once: the next marker follows its header.
    const QByteArray scan("\xff\xda\x00\x08\x01\x01\x00\x01\x3f\x00", 10);
    for (int n = 0; n < scans; ++n)
        file += scan;
    return file + "\xff\xd9";
}

} // namespace vornetta::test
