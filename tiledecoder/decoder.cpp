// SPDX-License-Identifier: GPL-3.0-or-later
#include "tiledecoder/decoder.h"

#include <cstring>
#include <memory>

#include <libde265/de265.h>

#include "protocol/protocol.h"
#include "tiledecoder/limits.h"

namespace tiledecoder {

namespace {

// Warnings that say nothing about the picture's pixels (threading, a checksum message that came before
// its parameter sets, a full warning queue); every other one means the decoder skipped or guessed.
bool isHarmless(de265_error warning)
{
    return warning == DE265_WARNING_NO_WPP_CANNOT_USE_MULTITHREADING ||
           warning == DE265_WARNING_NUMBER_OF_THREADS_LIMITED_TO_MAXIMUM ||
           warning == DE265_WARNING_SPS_MISSING_CANNOT_DECODE_SEI ||
           warning == DE265_WARNING_WARNING_BUFFER_FULL;
}

// Takes the decoder's queued warnings; returns the first that marks damage, or DE265_OK.
de265_error takeDamageWarning(de265_decoder_context* decoder)
{
    de265_error damage = DE265_OK;
    for (de265_error warning = de265_get_warning(decoder); warning != DE265_OK;
         warning = de265_get_warning(decoder)) {
        if (damage == DE265_OK && !isHarmless(warning))
            damage = warning;
    }
    return damage;
}

std::string decoderError(const char* what, de265_error error)
{
    return std::string(what) + ": " + de265_get_error_text(error);
}

// One plane of the decoder's image, read where it lies: valid until the decoder goes.
bool takePlane(const de265_image* image, int channel, int width, int bytesPerSample, Plane& plane)
{
    int stride = 0;
    const std::uint8_t* source = de265_get_image_plane(image, channel, &stride);
    if (!source || stride < 0 || std::size_t(stride) < std::size_t(width) * bytesPerSample)
        return false;
    plane.data = source;
    plane.stride = std::size_t(stride);
    return true;
}

std::string takePicture(const de265_image* image, Picture& picture)
{
    picture.width = de265_get_image_width(image, 0);
    picture.height = de265_get_image_height(image, 0);
    picture.chromaFormat = de265_get_chroma_format(image);
    picture.bitDepth = de265_get_bits_per_pixel(image, 0);
    picture.matrixCoefficients = de265_get_image_matrix_coefficients(image);
    picture.fullRange = de265_get_image_full_range_flag(image) != 0;

    if (picture.width <= 0 || picture.height <= 0 || std::uint32_t(picture.width) > protocol::kMaxTileSide ||
        std::uint32_t(picture.height) > protocol::kMaxTileSide ||
        std::uint64_t(picture.width) * std::uint64_t(picture.height) > protocol::kMaxTilePixels)
        return "the decoded picture has an impossible size";
    if (picture.chromaFormat < 0 || picture.chromaFormat > 3)
        return "the decoded picture has an unknown chroma format";
    if (picture.bitDepth < 8 || picture.bitDepth > 16)
        return "the decoded picture has an unsupported bit depth";

    // Chroma planes are halved horizontally for 4:2:0 and 4:2:2 and vertically for 4:2:0.
    const int shiftX = picture.chromaFormat == 1 || picture.chromaFormat == 2 ? 1 : 0;
    const int shiftY = picture.chromaFormat == 1 ? 1 : 0;
    const int bytesPerSample = picture.bitDepth > 8 ? 2 : 1;
    picture.planeCount = picture.chromaFormat == 0 ? 1 : 3;
    for (int channel = 0; channel < picture.planeCount; ++channel) {
        const int width = channel == 0 ? picture.width : (picture.width + (1 << shiftX) - 1) >> shiftX;
        const int height = channel == 0 ? picture.height : (picture.height + (1 << shiftY) - 1) >> shiftY;
        if (de265_get_image_width(image, channel) != width ||
            de265_get_image_height(image, channel) != height)
            return "the decoded picture's planes do not fit its chroma format";
        if (de265_get_bits_per_pixel(image, channel) != picture.bitDepth)
            return "luma and chroma of different bit depths are not supported";
        if (!takePlane(image, channel, width, bytesPerSample, picture.planes[channel]))
            return "the decoded picture has no plane";
    }
    return {};
}

} // namespace

void DecoderRelease::operator()(void* decoder) const
{
    de265_free_decoder(decoder);
}

DecodeResult decodeFirstPicture(const std::uint8_t* data, std::size_t size)
{
    DecodeResult result;
    if (size > kMaxInputBytes) {
        result.error = "the stream is too large for a tile";
        return result;
    }

    result.decoder.reset(de265_new_decoder());
    de265_decoder_context* const decoder = result.decoder.get();
    if (!decoder) {
        result.error = "the decoder could not be started";
        return result;
    }
    // A picture with decoding errors is never handed out, and a stream's own checksum is not our test:
    // the system's ffmpeg does not check it either.
    de265_set_parameter_bool(decoder, DE265_DECODER_PARAM_SUPPRESS_FAULTY_PICTURES, 1);
    de265_set_parameter_bool(decoder, DE265_DECODER_PARAM_BOOL_SEI_CHECK_HASH, 0);

    de265_error error = de265_push_data(decoder, data, int(size), 0, nullptr);
    if (error == DE265_OK)
        error = de265_flush_data(decoder);
    if (error != DE265_OK) {
        result.error = decoderError("the stream could not be read", error);
        return result;
    }

    // Every round decodes at least one NAL unit, and the stream holds a bounded number of them; the cap
    // only guards against a decoder that stops making progress.
    const de265_image* image = nullptr;
    de265_error damage = DE265_OK;
    for (std::size_t round = 0; round < 4 * kMaxNalUnits && !image; ++round) {
        int more = 0;
        error = de265_decode(decoder, &more);
        if (const de265_error warning = takeDamageWarning(decoder); damage == DE265_OK)
            damage = warning;
        if (!de265_isOK(error) && error != DE265_ERROR_WAITING_FOR_INPUT_DATA) {
            result.error = decoderError("decoding failed", error);
            return result;
        }
        image = de265_peek_next_picture(decoder);
        if (!more)
            break;
    }

    if (damage != DE265_OK) {
        result.error = decoderError("the stream is damaged", damage);
        return result;
    }
    if (!image) {
        result.error = "the stream holds no complete picture";
        return result;
    }
    result.error = takePicture(image, result.picture);
    return result;
}

} // namespace tiledecoder
