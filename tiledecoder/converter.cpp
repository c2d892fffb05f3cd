// SPDX-License-Identifier: GPL-3.0-or-later
#include "tiledecoder/converter.h"

#include <libyuv/convert_argb.h>
#include <libyuv/planar_functions.h>

#include "tiledecoder/bmpwriter.h"
#include "tiledecoder/exactconversion.h"

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

// 8-bit YCbCr straight to BGRA rows with libyuv; false if libyuv refused.
bool convertWithLibyuv(const Picture& picture, const libyuv::YuvConstants* constants, std::uint8_t* bgra,
                       int stride)
{
    using Function = int (*)(const std::uint8_t*, int, const std::uint8_t*, int, const std::uint8_t*, int,
                             std::uint8_t*, int, const libyuv::YuvConstants*, int, int);
    const Function functions[] = {nullptr, libyuv::I420ToARGBMatrix, libyuv::I422ToARGBMatrix,
                                  libyuv::I444ToARGBMatrix};
    const Plane* planes = picture.planes;
    return functions[picture.chromaFormat](planes[0].data, int(planes[0].stride), planes[1].data,
                                           int(planes[1].stride), planes[2].data, int(planes[2].stride), bgra,
                                           stride, constants, picture.width, picture.height) == 0;
}

std::string convertColour(const Picture& picture, std::uint8_t* bgra, int stride)
{
    // 4:4:4 with the identity matrix holds green, blue and red planes, taken as full range whatever the
    // range flag says, as ffmpeg takes them.
    if (picture.chromaFormat == 3 && picture.matrixCoefficients == 0) {
        if (picture.bitDepth > 8) {
            convertGbrExactly(picture, bgra, std::size_t(stride));
            return {};
        }
        // Without an alpha plane the alpha bytes are 255.
        const Plane* planes = picture.planes;
        libyuv::MergeARGBPlane(planes[2].data, int(planes[2].stride), planes[0].data, int(planes[0].stride),
                               planes[1].data, int(planes[1].stride), nullptr, 0, bgra, stride, picture.width,
                               picture.height);
        return {};
    }

    const Matrix matrix = matrixOf(picture.matrixCoefficients);
    const libyuv::YuvConstants* constants = libyuvConstants(matrix, picture);
    if (!constants) {
        convertYcbcrExactly(picture, weightsOf(matrix), bgra, std::size_t(stride));
        return {};
    }
    return convertWithLibyuv(picture, constants, bgra, stride) ? std::string()
                                                               : "the picture could not be converted";
}

} // namespace

ConvertResult convertPicture(const Picture& picture)
{
    ConvertResult result;
    if (picture.bitDepth < 8 || picture.bitDepth > 16 || picture.chromaFormat < 0 ||
        picture.chromaFormat > 3 || picture.planeCount != (picture.chromaFormat == 0 ? 1 : 3) ||
        picture.width <= 0 || picture.height <= 0) {
        result.error = "pictures of " + std::to_string(picture.bitDepth) + " bits are not supported";
        return result;
    }
    result.bmp = bmpFile(picture.width, picture.height);
    std::uint8_t* const bgra = result.bmp.data() + kBmpHeaderBytes;
    const int stride = picture.width * 4;

    if (picture.chromaFormat != 0) {
        result.error = convertColour(picture, bgra, stride);
        return result;
    }
    // ffmpeg shows 8-bit grey as it comes, and deeper grey as the same levels in 8 bits.
    if (picture.bitDepth > 8)
        convertGreyExactly(picture, bgra, std::size_t(stride));
    else
        libyuv::J400ToARGB(picture.planes[0].data, int(picture.planes[0].stride), bgra, stride, picture.width,
                           picture.height);
    return result;
}

} // namespace tiledecoder
