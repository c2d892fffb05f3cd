// SPDX-License-Identifier: GPL-3.0-or-later
#include "picturereader/picture.h"

#include "protocol/protocol.h"

namespace picturereader {

std::size_t rowBytes(const PictureFormat& format)
{
    if (format.bitsPerSample == 8)
        return std::size_t(format.width) * 4;
    return std::size_t(format.width) * (format.channels == Channels::Grey ? 2 : 8);
}

ReadResult checkPictureSize(const PictureFormat& format)
{
    const auto side = std::uint32_t(protocol::kMaxConvertedSide);
    if (format.width > side || format.height > side)
        return {ReadFailure::TooLarge, "the picture is " + std::to_string(format.width) + " x " +
                                           std::to_string(format.height) + " pixels"};
    if (format.width == 0 || format.height == 0)
        return {ReadFailure::Damaged, "the picture has no pixels"};
    // The engine holds 8-bit pictures at 4 bytes a pixel whatever their channels; rowBytes gives that.
    if (std::uint64_t(rowBytes(format)) * format.height > protocol::kMaxPictureBytes)
        return {ReadFailure::OutOfMemory, "the picture's pixels would take more than " +
                                              std::to_string(protocol::kMaxPictureBytes >> 20) + " MiB"};
    return {};
}

} // namespace picturereader
