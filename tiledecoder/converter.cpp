#include "tiledecoder/converter.h"

#include <cstring>
#include <memory>

extern "C" {
#include <libavutil/opt.h>
#include <libavutil/pixfmt.h>
#include <libswscale/swscale.h>
}

namespace tiledecoder {

namespace {

struct FreeScaler
{
    void operator()(SwsContext* scaler) const { sws_freeContext(scaler); }
};
using ScalerPointer = std::unique_ptr<SwsContext, FreeScaler>;

constexpr int kMatrixRgb = 0;
constexpr int kMatrixUnspecified = 2;
constexpr int kMatrixBt470bg = 5;
constexpr int kMatrixYcgco = 8;
constexpr int kMatrixLastNamed = 14;

// ffmpeg keeps only matrix values it has a name for and treats the others as unspecified.
int knownMatrix(int matrixCoefficients)
{
    return matrixCoefficients >= 0 && matrixCoefficients <= kMatrixLastNamed ? matrixCoefficients
                                                                             : kMatrixUnspecified;
}

// The pixel format ffmpeg's HEVC decoder gives such a picture: full-range 8-bit 4:2:0 is the "J" format,
// and 4:4:4 coded with the identity matrix is planar GBR.
AVPixelFormat sourcePixelFormat(const Picture& picture)
{
    struct Formats
    {
        int bitDepth;
        AVPixelFormat byChroma[4];
        AVPixelFormat gbr;
    };
    static const Formats table[] = {
        {8, {AV_PIX_FMT_GRAY8, AV_PIX_FMT_YUV420P, AV_PIX_FMT_YUV422P, AV_PIX_FMT_YUV444P}, AV_PIX_FMT_GBRP},
        {9,
         {AV_PIX_FMT_GRAY9LE, AV_PIX_FMT_YUV420P9LE, AV_PIX_FMT_YUV422P9LE, AV_PIX_FMT_YUV444P9LE},
         AV_PIX_FMT_NONE},
        {10,
         {AV_PIX_FMT_GRAY10LE, AV_PIX_FMT_YUV420P10LE, AV_PIX_FMT_YUV422P10LE, AV_PIX_FMT_YUV444P10LE},
         AV_PIX_FMT_GBRP10LE},
        {12,
         {AV_PIX_FMT_GRAY12LE, AV_PIX_FMT_YUV420P12LE, AV_PIX_FMT_YUV422P12LE, AV_PIX_FMT_YUV444P12LE},
         AV_PIX_FMT_GBRP12LE},
    };
    for (const Formats& formats : table) {
        if (formats.bitDepth != picture.bitDepth)
            continue;
        AVPixelFormat format = formats.byChroma[picture.chromaFormat];
        if (format == AV_PIX_FMT_YUV420P && picture.fullRange)
            format = AV_PIX_FMT_YUVJ420P;
        if (picture.chromaFormat == 3 && knownMatrix(picture.matrixCoefficients) == kMatrixRgb &&
            formats.gbr != AV_PIX_FMT_NONE)
            format = formats.gbr;
        return format;
    }
    return AV_PIX_FMT_NONE;
}

// The coefficient set ffmpeg's scale filter picks for a frame's matrix: BT.601 for anything it has no
// YCbCr coefficients for.
int coefficientSet(int matrixCoefficients)
{
    const int matrix = knownMatrix(matrixCoefficients);
    if (matrix < 1 || matrix > 10 || matrix == kMatrixYcgco)
        return kMatrixBt470bg;
    return matrix;
}

OutputImage copyGrey(const Picture& picture)
{
    OutputImage image;
    image.width = picture.width;
    image.height = picture.height;
    image.format = OutputFormat::Gray8;
    image.pixels = PixelBuffer(std::size_t(picture.width), std::size_t(picture.height));
    if (image.pixels.isNull())
        return image;
    for (int y = 0; y < picture.height; ++y)
        std::memcpy(image.pixels.row(y), picture.planes[0].row(y), std::size_t(picture.width));
    return image;
}

} // namespace

ConvertResult convertPicture(const Picture& picture)
{
    ConvertResult result;
    const AVPixelFormat source = sourcePixelFormat(picture);
    if (source == AV_PIX_FMT_NONE || picture.planeCount != (picture.chromaFormat == 0 ? 1 : 3)) {
        result.error = "pictures of " + std::to_string(picture.bitDepth) + " bits are not supported";
        return result;
    }

    // ffmpeg writes 8-bit grey as it comes, without a scaler, and converts deeper grey to 8 bits.
    if (source == AV_PIX_FMT_GRAY8) {
        result.image = copyGrey(picture);
        if (result.image.pixels.isNull())
            result.error = "out of memory for the picture";
        return result;
    }
    const bool grey = picture.chromaFormat == 0;
    const AVPixelFormat target = grey ? AV_PIX_FMT_GRAY8 : AV_PIX_FMT_BGR24;

    ScalerPointer scaler(sws_alloc_context());
    if (!scaler) {
        result.error = "out of memory for the scaler";
        return result;
    }
    SwsContext* context = scaler.get();
    av_opt_set_int(context, "srcw", picture.width, 0);
    av_opt_set_int(context, "srch", picture.height, 0);
    av_opt_set_int(context, "src_format", source, 0);
    av_opt_set_int(context, "dstw", picture.width, 0);
    av_opt_set_int(context, "dsth", picture.height, 0);
    av_opt_set_int(context, "dst_format", target, 0);
    // No scaler flags, as ffmpeg passes none: libswscale then chooses bicubic itself.
    av_opt_set_int(context, "sws_flags", 0, 0);
    av_opt_set_int(context, "threads", 1, 0);
    // ffmpeg places 4:2:0 chroma midway between luma rows (the MPEG-2 convention), for this format only.
    if (source == AV_PIX_FMT_YUV420P)
        av_opt_set_int(context, "src_v_chr_pos", 128, 0);
    if (sws_init_context(context, nullptr, nullptr) < 0) {
        result.error = "the scaler could not be set up for this picture";
        return result;
    }

    // The stream's matrix and range, set after the scaler is made, as ffmpeg's scale filter does for
    // every frame.
    int* inverseTable = nullptr;
    int* table = nullptr;
    int sourceFull = 0;
    int targetFull = 0;
    int brightness = 0;
    int contrast = 0;
    int saturation = 0;
    sws_getColorspaceDetails(context, &inverseTable, &sourceFull, &table, &targetFull, &brightness, &contrast,
                             &saturation);
    const int* coefficients = sws_getCoefficients(coefficientSet(picture.matrixCoefficients));
    sws_setColorspaceDetails(context, coefficients, picture.fullRange ? 1 : 0, coefficients, targetFull,
                             brightness, contrast, saturation);

    OutputImage& image = result.image;
    image.width = picture.width;
    image.height = picture.height;
    image.format = grey ? OutputFormat::Gray8 : OutputFormat::Bgr24;
    image.pixels = PixelBuffer(std::size_t(picture.width) * (grey ? 1 : 3), std::size_t(picture.height));
    if (image.pixels.isNull()) {
        result.error = "out of memory for the picture";
        return result;
    }

    const std::uint8_t* sourcePlanes[4] = {};
    int sourceStrides[4] = {};
    for (int i = 0; i < picture.planeCount; ++i) {
        sourcePlanes[i] = picture.planes[i].data();
        sourceStrides[i] = int(picture.planes[i].stride());
    }
    std::uint8_t* targetPlanes[4] = {image.pixels.data()};
    const int targetStrides[4] = {int(image.pixels.stride())};
    if (sws_scale(context, sourcePlanes, sourceStrides, 0, picture.height, targetPlanes, targetStrides) !=
        picture.height)
        result.error = "the picture could not be converted";
    return result;
}

} // namespace tiledecoder
