// SPDX-License-Identifier: GPL-3.0-or-later
#include "tiledecoder/converter.h"

#include <algorithm>
#include <memory>
#include <vector>

#include <libyuv/convert_argb.h>
#include <libyuv/planar_functions.h>

#include "tiledecoder/exactconversion.h"
#include "tiledecoder/outputform.h"

namespace tiledecoder {

namespace {

// The matrices ffmpeg has YCbCr coefficients for; it converts with BT.601 whatever it has none for
// (unspecified, reserved, YCgCo and the newer ones).
enum class Matrix { Bt601, Bt709, Fcc, Smpte240m, Bt2020 };

Matrix matrixOf(int matrixCoefficients)
{
    switch (matrixCoefficients) {
    case 1:
        return Matrix::Bt709;
    case 4:
        return Matrix::Fcc;
    case 7:
        return Matrix::Smpte240m;
    case 9:  // BT.2020 non-constant luminance
    case 10: // constant luminance, converted as the former, as ffmpeg does
        return Matrix::Bt2020;
    default:
        return Matrix::Bt601;
    }
}

LumaWeights weightsOf(Matrix matrix)
{
    switch (matrix) {
    case Matrix::Bt709:
        return {2126, 722};
    case Matrix::Fcc:
        return {3000, 1100};
    case Matrix::Smpte240m:
        return {2120, 870};
    case Matrix::Bt2020:
        return {2627, 593};
    case Matrix::Bt601:
        break;
    }
    return {2990, 1140};
}

// libyuv's constants for 8-bit samples of the matrix and range, where libyuv lands within 2 levels of the
// exact result; none elsewhere. Its limited-range BT.709 and BT.2020 blue is up to 16 levels off (it caps
// the blue coefficient), and its deeper formats up to 4.
const libyuv::YuvConstants* libyuvConstants(Matrix matrix, const Picture& picture)
{
    if (picture.bitDepth != 8)
        return nullptr;
    switch (matrix) {
    case Matrix::Bt601:
        return picture.fullRange ? &libyuv::kYuvJPEGConstants : &libyuv::kYuvI601Constants;
    case Matrix::Bt709:
        return picture.fullRange ? &libyuv::kYuvF709Constants : nullptr;
    case Matrix::Bt2020:
        return picture.fullRange ? &libyuv::kYuvV2020Constants : nullptr;
    case Matrix::Fcc:
    case Matrix::Smpte240m:
        break;
    }
    return nullptr;
}

// Converts one region of the picture into rows of the output form, stride bytes apart.
using RegionConversion = std::function<void(Region region, std::uint8_t* out, std::size_t stride)>;

// The start of a region in one plane whose samples cover 2^shiftX x 2^shiftY pixels.
const std::uint8_t* planeAt(const Plane& plane, Region region, int shiftX, int shiftY)
{
    return plane.row(std::size_t(region.y >> shiftY)) + std::size_t(region.x >> shiftX);
}

// 8-bit YCbCr straight to BGRA rows with libyuv.
RegionConversion libyuvYcbcr(const Picture& picture, const libyuv::YuvConstants* constants)
{
    using Function = int (*)(const std::uint8_t*, int, const std::uint8_t*, int, const std::uint8_t*, int,
                             std::uint8_t*, int, const libyuv::YuvConstants*, int, int);
    const Function functions[] = {nullptr, libyuv::I420ToARGBMatrix, libyuv::I422ToARGBMatrix,
                                  libyuv::I444ToARGBMatrix};
    const Function function = functions[picture.chromaFormat];
    const int shiftX = picture.chromaFormat == 3 ? 0 : 1;
    const int shiftY = picture.chromaFormat == 1 ? 1 : 0;
    return [&picture, constants, function, shiftX, shiftY](Region region, std::uint8_t* out,
                                                           std::size_t stride) {
        const Plane* planes = picture.planes;
        function(planeAt(planes[0], region, 0, 0), int(planes[0].stride),
                 planeAt(planes[1], region, shiftX, shiftY), int(planes[1].stride),
                 planeAt(planes[2], region, shiftX, shiftY), int(planes[2].stride), out, int(stride),
                 constants, region.width, region.height);
    };
}

// The conversion of the picture into the output form's pixels.
RegionConversion conversionFor(const Picture& picture, OutputForm form)
{
    const bool bmp = form == OutputForm::Bmp32;
    const Plane* planes = picture.planes;
    // 4:4:4 with the identity matrix holds green, blue and red planes, taken as full range whatever the
    // range flag says, as ffmpeg takes them.
    if (picture.chromaFormat == 3 && picture.matrixCoefficients == 0) {
        if (bmp && picture.bitDepth == 8) {
            // Without an alpha plane the alpha bytes are 255.
            return [planes](Region region, std::uint8_t* out, std::size_t stride) {
                libyuv::MergeARGBPlane(planeAt(planes[2], region, 0, 0), int(planes[2].stride),
                                       planeAt(planes[0], region, 0, 0), int(planes[0].stride),
                                       planeAt(planes[1], region, 0, 0), int(planes[1].stride), nullptr, 0,
                                       out, int(stride), region.width, region.height);
            };
        }
        const auto gbr = std::make_shared<GbrConversion>(picture, form);
        return [gbr, &picture](Region region, std::uint8_t* out, std::size_t stride) {
            gbr->convert(picture, region, out, stride);
        };
    }
    // ffmpeg shows 8-bit grey as it comes and deeper grey as the same levels in BMP files; its 16-bit
    // output takes grey to its nominal value like any luma.
    if (picture.chromaFormat == 0 && bmp) {
        if (picture.bitDepth == 8) {
            return [planes](Region region, std::uint8_t* out, std::size_t stride) {
                libyuv::J400ToARGB(planeAt(planes[0], region, 0, 0), int(planes[0].stride), out, int(stride),
                                   region.width, region.height);
            };
        }
        const auto grey = std::make_shared<GreyLevelsConversion>(picture);
        return [grey, &picture](Region region, std::uint8_t* out, std::size_t stride) {
            grey->convert(picture, region, out, stride);
        };
    }
    const Matrix matrix = matrixOf(picture.matrixCoefficients);
    if (const libyuv::YuvConstants* constants = bmp ? libyuvConstants(matrix, picture) : nullptr)
        return libyuvYcbcr(picture, constants);
    const auto ycbcr = std::make_shared<YcbcrConversion>(picture, weightsOf(matrix), form);
    return [ycbcr, &picture](Region region, std::uint8_t* out, std::size_t stride) {
        ycbcr->convert(picture, region, out, stride);
    };
}

} // namespace

std::string writePicture(const Picture& picture, OutputForm form, const ByteSink& sink)
{
    if (picture.bitDepth < 8 || picture.bitDepth > 16 || picture.chromaFormat < 0 ||
        picture.chromaFormat > 3 || picture.planeCount != (picture.chromaFormat == 0 ? 1 : 3) ||
        picture.width <= 0 || picture.height <= 0)
        return "pictures of " + std::to_string(picture.bitDepth) + " bits are not supported";
    const std::string cannotWrite = "the picture could not be written";
    const std::vector<std::uint8_t> header = fileHeader(form, picture.width, picture.height);
    if (!sink(header.data(), header.size()))
        return cannotWrite;

    const RegionConversion convert = conversionFor(picture, form);
    const std::size_t pixelBytes = bytesPerPixel(form);
    const std::size_t rowBytes = std::size_t(picture.width) * pixelBytes;
    // Whole rows while they fit, a band of them at a time; 4:2:0 bands start on even rows, where a chroma
    // row begins. A longer row goes in parts of an even width, where a chroma column begins.
    int bandRows = int(std::min<std::size_t>(std::size_t(picture.height), kPieceBytes / rowBytes));
    int partWidth = picture.width;
    if (bandRows == 0) {
        bandRows = 1;
        partWidth = int(kPieceBytes / pixelBytes) & ~1;
    } else if (bandRows > 1 && picture.chromaFormat == 1) {
        bandRows &= ~1;
    }
    std::vector<std::uint8_t> buffer(std::min(rowBytes, std::size_t(partWidth) * pixelBytes) *
                                     std::size_t(bandRows));
    for (int y = 0; y < picture.height; y += bandRows) {
        for (int x = 0; x < picture.width; x += partWidth) {
            const Region region{x, y, std::min(partWidth, picture.width - x),
                                std::min(bandRows, picture.height - y)};
            const std::size_t stride = std::size_t(region.width) * pixelBytes;
            convert(region, buffer.data(), stride);
            if (!sink(buffer.data(), stride * std::size_t(region.height)))
                return cannotWrite;
        }
    }
    return {};
}

} // namespace tiledecoder
