// SPDX-License-Identifier: GPL-3.0-or-later
#include "picturereader/pngreading.h"

#include <cstring>
#include <vector>

#include <png.h>

#include "picturereader/limits.h"
#include "protocol/picturememory.h"
#include "protocol/protocol.h"

namespace picturereader {

namespace {

// The ancillary chunks libpng knows but the picture does not need; those it does not know are skipped too.
constexpr png_byte kSkippedChunks[] =
    "bKGD\0eXIf\0hIST\0iTXt\0oFFs\0pCAL\0pHYs\0sBIT\0sCAL\0sPLT\0sTER\0tEXt\0"
    "tIME\0zTXt";
constexpr int kSkippedChunkCount = int(sizeof kSkippedChunks / 5);

// One file's reading. Each step that calls libpng sets where a failure lands and holds no object with a
// destructor, which the longjmp would skip; the buffers are made between the steps.
class PngReading final
{
public:
    explicit PngReading(std::FILE* file)
        : file(file)
        , png(png_create_read_struct(PNG_LIBPNG_VER_STRING, this, fail, ignoreWarning))
        , info(png ? png_create_info_struct(png) : nullptr)
    {}
    ~PngReading() { png_destroy_read_struct(&png, &info, nullptr); }
    PngReading(const PngReading&) = delete;
    PngReading& operator=(const PngReading&) = delete;

    bool created() const { return info != nullptr; }

    // Reads the chunks up to the pixels and says what the picture is.
    bool readHeader(PictureFormat& format, ColourHints& hints)
    {
        if (setjmp(png_jmpbuf(png)) != 0)
            return false;
        // What Qt's reader allows too: some encoders misstate the compression window.
        png_set_option(png, PNG_MAXIMUM_INFLATE_WINDOW, PNG_OPTION_ON);
        png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
        png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kSkippedChunks, kSkippedChunkCount);
        png_set_chunk_cache_max(png, kMaxPngChunksKept);
        png_set_chunk_malloc_max(png, kMaxPngChunkBytes);
        png_init_io(png, file);
        png_read_info(png, info);

        png_uint_32 width = 0;
        png_uint_32 height = 0;
        int depth = 0;
        int colourType = 0;
        png_get_IHDR(png, info, &width, &height, &depth, &colourType, nullptr, nullptr, nullptr);
        const bool transparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
        format.width = width;
        format.height = height;
        format.bitsPerSample = depth == 16 ? 16 : 8;
        if (colourType == PNG_COLOR_TYPE_GRAY && !transparency)
            format.channels = Channels::Grey;
        else if ((colourType & PNG_COLOR_MASK_ALPHA) != 0 || transparency)
            format.channels = Channels::Rgba;
        else
            format.channels = Channels::Rgb;

        png_charp name = nullptr;
        int compression = 0;
        png_bytep profile = nullptr;
        png_uint_32 profileLength = 0;
        if (png_get_iCCP(png, info, &name, &compression, &profile, &profileLength) != 0 &&
            profileLength <= protocol::kMaxIccProfileBytes) {
            iccProfile = profile;
            iccProfileBytes = profileLength;
        }
        // Only chunks libpng found valid, as Qt's reader takes them: libpng keeps the numbers of a gAMA or
        // cHRM chunk that it then invalidated, and its getters for those give them all the same.
        int intent = -1;
        hints.srgb = png_get_sRGB(png, info, &intent) != 0 && intent >= 0 && intent <= 3;
        png_fixed_point gamma = 0;
        if (png_get_valid(png, info, PNG_INFO_gAMA) != 0 && png_get_gAMA_fixed(png, info, &gamma) != 0 &&
            gamma > 0)
            hints.gamma = std::uint32_t(gamma);
        png_fixed_point c[8] = {};
        hints.hasChromaticities =
            png_get_valid(png, info, PNG_INFO_cHRM) != 0 &&
            png_get_cHRM_fixed(png, info, &c[0], &c[1], &c[2], &c[3], &c[4], &c[5], &c[6], &c[7]) != 0;
        for (int n = 0; n < 8; ++n)
            hints.chromaticities[std::size_t(n)] = c[n] > 0 ? std::uint32_t(c[n]) : 0;
        return true;
    }

    // Has libpng give rows as rowBytes(format) says: widened to 8 bits or kept at 16, grey as three samples
    // at 8 bits, the missing alpha filled in.
    bool prepareRows(const PictureFormat& format)
    {
        if (setjmp(png_jmpbuf(png)) != 0)
            return false;
        const bool deep = format.bitsPerSample == 16;
        if (!deep || format.channels != Channels::Grey) {
            png_set_expand(png);
            png_set_gray_to_rgb(png);
            if (!deep)
                png_set_bgr(png);
            if (format.channels != Channels::Rgba)
                png_set_filler(png, deep ? 0xffff : 0xff, PNG_FILLER_AFTER);
        }
        passes = png_set_interlace_handling(png);
        png_read_update_info(png, info);
        if (png_get_rowbytes(png, info) != rowBytes(format))
            png_error(png, "unexpected row size");
        return true;
    }

    bool interlaced() const { return passes > 1; }

    // A file not interlaced: each row as it is decoded.
    bool readRows(std::uint8_t* row, std::uint32_t height, PictureSink& sink)
    {
        if (setjmp(png_jmpbuf(png)) != 0)
            return false;
        for (std::uint32_t y = 0; y < height; ++y) {
            png_read_row(png, row, nullptr);
            if (!sink.writeRow(row)) {
                sinkRefused = true;
                return false;
            }
        }
        return true;
    }

    // An interlaced file: every pass over the whole picture.
    bool readWhole(png_bytepp rows)
    {
        if (setjmp(png_jmpbuf(png)) != 0)
            return false;
        png_read_image(png, rows);
        return true;
    }

    // The chunks after the pixels, read for their checks only.
    bool readEnd()
    {
        if (setjmp(png_jmpbuf(png)) != 0)
            return false;
        png_read_end(png, nullptr);
        return true;
    }

    std::vector<std::uint8_t> profile() const
    {
        return iccProfile ? std::vector<std::uint8_t>(iccProfile, iccProfile + iccProfileBytes)
                          : std::vector<std::uint8_t>();
    }

    ReadResult failure() const
    {
        if (sinkRefused)
            return {ReadFailure::CannotWrite, "cannot write the picture"};
        // libpng says "Out of memory" or "Insufficient memory" when an allocation fails.
        if (std::strstr(message, "memory"))
            return {ReadFailure::OutOfMemory, message};
        return {ReadFailure::Damaged, message};
    }

private:
    [[noreturn]] static void fail(png_structp png, png_const_charp text)
    {
        auto& self = *static_cast<PngReading*>(png_get_error_ptr(png));
        std::strncpy(self.message, text, sizeof self.message - 1);
        png_longjmp(png, 1);
    }
    static void ignoreWarning(png_structp, png_const_charp) {}

    std::FILE* const file;
    png_structp png;
    png_infop info;
    int passes = 1;
    png_bytep iccProfile = nullptr; // libpng's, as long as info lives
    png_uint_32 iccProfileBytes = 0;
    bool sinkRefused = false;
    char message[128] = {};
};

} // namespace

ReadResult readPng(std::FILE* file, PictureSink& sink)
{
    PngReading reading(file);
    if (!reading.created())
        return {ReadFailure::OutOfMemory, "cannot start libpng"};
    PictureFormat format;
    ColourHints hints;
    if (!reading.readHeader(format, hints))
        return reading.failure();
    const ReadResult size = checkPictureSize(format);
    if (!size.ok())
        return size;
    if (!reading.prepareRows(format))
        return reading.failure();
    if (!sink.start(format))
        return {ReadFailure::CannotWrite, "cannot write the picture"};
    const std::size_t bytes = rowBytes(format);
    if (!reading.interlaced()) {
        std::vector<std::uint8_t> row(bytes);
        if (!reading.readRows(row.data(), format.height, sink))
            return reading.failure();
    } else {
        const protocol::PictureMemory pixels(bytes * format.height);
        if (!pixels.data())
            return {ReadFailure::OutOfMemory, "not enough memory"};
        std::vector<png_bytep> rows(format.height);
        for (std::uint32_t y = 0; y < format.height; ++y)
            rows[y] = pixels.data() + bytes * y;
        if (!reading.readWhole(rows.data()))
            return reading.failure();
        for (const png_bytep row : rows) {
            if (!sink.writeRow(row))
                return {ReadFailure::CannotWrite, "cannot write the picture"};
        }
    }
    if (!reading.readEnd())
        return reading.failure();
    if (!sink.finish(reading.profile(), hints))
        return {ReadFailure::CannotWrite, "cannot write the picture"};
    return {};
}

} // namespace picturereader
