// SPDX-License-Identifier: GPL-3.0-or-later
#include "picturereader/jpegreading.h"

#include <csetjmp>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

#include "picturereader/jpegprofile.h"
#include "picturereader/limits.h"

namespace picturereader {

namespace {

// libjpeg's error manager with where to go on a failure and what it saw on the way. libjpeg hands back a
// pointer to the manager, the first member.
struct JpegErrors
{
    jpeg_error_mgr manager;
    std::jmp_buf failed;
    bool endedEarly = false;   // the file ended before its data did: the decoder made the rest up
    bool tooManyScans = false; // more scans than kMaxJpegScans
};

JpegErrors& errorsOf(j_common_ptr info)
{
    return *reinterpret_cast<JpegErrors*>(info->err);
}

[[noreturn]] void leave(j_common_ptr info)
{
    std::longjmp(errorsOf(info).failed, 1);
}

void noteMessage(j_common_ptr info, int level)
{
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF)
        errorsOf(info).endedEarly = true;
}

void printNothing(j_common_ptr) {}

// Called as the input is consumed, the scans of a progressive file included.
void countScans(j_common_ptr info)
{
    if (info->is_decompressor &&
        reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxJpegScans) {
        errorsOf(info).tooManyScans = true;
        leave(info);
    }
}

// CMYK as Adobe stores it, each sample inverted, to blue, green, red and alpha, in place.
void cmykToBgra(std::uint8_t* row, std::uint32_t width)
{
    for (std::uint32_t x = 0; x < width; ++x, row += 4) {
        const int k = row[3];
        const std::uint8_t red = std::uint8_t(k * row[0] / 255);
        const std::uint8_t green = std::uint8_t(k * row[1] / 255);
        const std::uint8_t blue = std::uint8_t(k * row[2] / 255);
        row[0] = blue;
        row[1] = green;
        row[2] = red;
        row[3] = 255;
    }
}

// One file's decompression. Each step that calls libjpeg sets where a failure lands and holds no object
// with a destructor, which the longjmp would skip; the buffers are made between the steps.
class JpegReading final
{
public:
    explicit JpegReading(std::FILE* file)
        : file(file)
    {
        info.err = jpeg_std_error(&errors.manager);
        errors.manager.error_exit = leave;
        errors.manager.emit_message = noteMessage;
        errors.manager.output_message = printNothing;
        progress.progress_monitor = countScans;
    }
    ~JpegReading() { jpeg_destroy_decompress(&info); }
    JpegReading(const JpegReading&) = delete;
    JpegReading& operator=(const JpegReading&) = delete;

    // Reads the markers up to the first scan and says what the picture will be.
    bool readHeader(PictureFormat& format)
    {
        if (setjmp(errors.failed) != 0)
            return false;
        jpeg_create_decompress(&info);
        info.progress = &progress;
        jpeg_stdio_src(&info, file);
        profile.readFrom(info);
        jpeg_read_header(&info, TRUE);
        switch (info.jpeg_color_space) {
        case JCS_GRAYSCALE:
        case JCS_YCbCr:
        case JCS_RGB:
            info.out_color_space = JCS_EXT_BGRA;
            break;
        case JCS_CMYK:
        case JCS_YCCK:
            info.out_color_space = JCS_CMYK;
            cmyk = true;
            break;
        default:
            ERREXIT(&info, JERR_CONVERSION_NOTIMPL);
        }
        jpeg_calc_output_dimensions(&info);
        format.width = info.output_width;
        format.height = info.output_height;
        format.bitsPerSample = 8;
        format.channels = info.jpeg_color_space == JCS_GRAYSCALE ? Channels::Grey : Channels::Rgb;
        return true;
    }

    // Decodes the rows into row, one after another, and hands each to the sink. False on a failure, and
    // when the sink refused a row (sinkRefused then says so).
    bool readRows(std::uint8_t* row, PictureSink& sink)
    {
        if (setjmp(errors.failed) != 0)
            return false;
        jpeg_start_decompress(&info);
        while (info.output_scanline < info.output_height) {
            JSAMPROW rows[1] = {row};
            jpeg_read_scanlines(&info, rows, 1);
            // What the decoder made up for missing data is no picture.
            if (errors.endedEarly)
                return false;
            if (cmyk)
                cmykToBgra(row, info.output_width);
            if (!sink.writeRow(row)) {
                sinkRefused = true;
                return false;
            }
        }
        jpeg_finish_decompress(&info);
        return true;
    }

    ReadResult failure()
    {
        if (sinkRefused)
            return {ReadFailure::CannotWrite, "cannot write the picture"};
        if (errors.tooManyScans)
            return {ReadFailure::Damaged, "more than " + std::to_string(kMaxJpegScans) + " scans"};
        if (errors.endedEarly)
            return {ReadFailure::Damaged, "the file ends before its last row"};
        char message[JMSG_LENGTH_MAX] = {};
        (*errors.manager.format_message)(reinterpret_cast<j_common_ptr>(&info), message);
        const ReadFailure kind =
            errors.manager.msg_code == JERR_OUT_OF_MEMORY ? ReadFailure::OutOfMemory : ReadFailure::Damaged;
        return {kind, message};
    }

    JpegProfile profile;

private:
    std::FILE* const file;
    jpeg_decompress_struct info{};
    JpegErrors errors{};
    jpeg_progress_mgr progress{};
    bool cmyk = false;
    bool sinkRefused = false;
};

} // namespace

ReadResult readJpeg(std::FILE* file, PictureSink& sink)
{
    JpegReading reading(file);
    PictureFormat format;
    if (!reading.readHeader(format))
        return reading.failure();
    const ReadResult size = checkPictureSize(format);
    if (!size.ok())
        return size;
    if (!sink.start(format))
        return {ReadFailure::CannotWrite, "cannot write the picture"};
    std::vector<std::uint8_t> row(rowBytes(format));
    if (!reading.readRows(row.data(), sink))
        return reading.failure();
    if (!sink.finish(reading.profile.profile(), ColourHints{}))
        return {ReadFailure::CannotWrite, "cannot write the picture"};
    return {};
}

} // namespace picturereader
