// SPDX-License-Identifier: GPL-3.0-or-later
#include "splitter/pictureextras.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "protocol/protocol.h"
#include "splitter/limits.h"
#include "splitter/range.h"

namespace heifsplit {

namespace {

using Wide = __int128; // clean aperture sums need up to 2^83

// Rounding as libheif's fractions do it: towards zero, and half up then towards zero.
std::int64_t roundDown(Wide numerator, Wide denominator)
{
    return static_cast<std::int64_t>(numerator / denominator);
}

std::int64_t roundHalf(Wide numerator, Wide denominator)
{
    return static_cast<std::int64_t>((numerator + denominator / 2) / denominator);
}

// The clean aperture of a picture of width x height as a crop, or false with failure set.
bool cleanAperture(const Property& clap, std::uint32_t width, std::uint32_t height, PictureOperation& crop,
                   Failure& failure)
{
    Range range(clap.body.data(), clap.body.size(), failure, "clap", 2);
    const std::uint32_t widthN = range.u32();
    const std::uint32_t widthD = range.u32();
    const std::uint32_t heightN = range.u32();
    const std::uint32_t heightD = range.u32();
    const std::int32_t horizOffN = static_cast<std::int32_t>(range.u32());
    const std::uint32_t horizOffD = range.u32();
    const std::int32_t vertOffN = static_cast<std::int32_t>(range.u32());
    const std::uint32_t vertOffD = range.u32();
    if (!range.ok()) {
        return false;
    }
    constexpr std::uint32_t largest = std::numeric_limits<std::int32_t>::max();
    for (const std::uint32_t value : {widthN, widthD, heightN, heightD, horizOffD, vertOffD}) {
        if (value > largest) {
            range.fail(FailureKind::Malformed, "holds a value larger than " + std::to_string(largest));
            return false;
        }
    }
    if (widthD == 0 || heightD == 0 || horizOffD == 0 || vertOffD == 0) {
        range.fail(FailureKind::Malformed, "holds a fraction with the denominator 0");
        return false;
    }
    // The aperture is centred on the picture's centre moved by the offset:
    //   left = horizOff + (width - 1) / 2 - (apertureWidth - 1) / 2, right = left + apertureWidth - 1,
    // and the same downwards.
    const Wide horizontalD = Wide(2) * horizOffD * widthD;
    const Wide horizontalN = Wide(2) * horizOffN * widthD + Wide(width - 1) * horizOffD * widthD -
                             (Wide(widthN) - widthD) * horizOffD;
    std::int64_t left = roundDown(horizontalN, horizontalD);
    std::int64_t right = roundHalf(Wide(widthN) - widthD + Wide(left) * widthD, widthD);
    const Wide verticalD = Wide(2) * vertOffD * heightD;
    const Wide verticalN = Wide(2) * vertOffN * heightD + Wide(height - 1) * vertOffD * heightD -
                           (Wide(heightN) - heightD) * vertOffD;
    std::int64_t top = roundHalf(verticalN, verticalD);
    std::int64_t bottom = roundHalf(Wide(heightN) - heightD + Wide(top) * heightD, heightD);
    // An aperture reaching past the picture is cut at its edges.
    left = std::max<std::int64_t>(left, 0);
    top = std::max<std::int64_t>(top, 0);
    right = std::min<std::int64_t>(right, std::int64_t(width) - 1);
    bottom = std::min<std::int64_t>(bottom, std::int64_t(height) - 1);
    if (left > right || top > bottom) {
        range.fail(FailureKind::Malformed, "leaves nothing of the picture of " + std::to_string(width) +
                                               " x " + std::to_string(height));
        return false;
    }
    crop.kind = PictureOperation::Kind::Crop;
    crop.left = static_cast<std::uint32_t>(left);
    crop.top = static_cast<std::uint32_t>(top);
    crop.width = static_cast<std::uint32_t>(right - left + 1);
    crop.height = static_cast<std::uint32_t>(bottom - top + 1);
    return true;
}

// The first byte of an irot or imir property.
bool firstByte(const Property& property, std::uint8_t& value, Failure& failure)
{
    Range range(property.body.data(), property.body.size(), failure, property.type, 2);
    value = range.u8();
    return range.ok();
}

bool isTiffHeader(const std::uint8_t* at)
{
    return (at[0] == 'I' && at[1] == 'I' && at[2] == 42 && at[3] == 0) ||
           (at[0] == 'M' && at[1] == 'M' && at[2] == 0 && at[3] == 42);
}

bool hasColourDescription(const Container& container, const Item& item)
{
    return container.property(item, "colr") != nullptr;
}

} // namespace

bool pictureOperations(const Container& container, const Item& item, std::uint32_t width,
                       std::uint32_t height, std::vector<PictureOperation>& operations, Failure& failure)
{
    operations.clear();
    for (const Property* property : container.propertiesOf(item)) {
        PictureOperation operation;
        std::uint8_t value = 0;
        if (property->type == "clap") {
            if (!cleanAperture(*property, width, height, operation, failure)) {
                return false;
            }
            width = operation.width;
            height = operation.height;
        } else if (property->type == "irot") {
            if (!firstByte(*property, value, failure)) {
                return false;
            }
            operation.kind = PictureOperation::Kind::Rotate;
            operation.quarterTurns = value & 3; // the upper six bits are reserved
            if (operation.quarterTurns == 0) {
                continue;
            }
            if (operation.quarterTurns != 2) {
                std::swap(width, height);
            }
        } else if (property->type == "imir") {
            if (!firstByte(*property, value, failure)) {
                return false;
            }
            operation.kind = PictureOperation::Kind::Mirror;
            operation.axis = value & 1; // the upper seven bits are reserved
        } else {
            continue;
        }
        if (operations.size() >= protocol::kMaxPictureOperations) {
            failure.set(FailureKind::Limit, "item " + std::to_string(item.id) + " has more than " +
                                                std::to_string(protocol::kMaxPictureOperations) +
                                                " crop, rotation and mirror properties");
            return false;
        }
        operations.push_back(operation);
    }
    return true;
}

void shownSize(const std::vector<PictureOperation>& operations, std::uint32_t& width, std::uint32_t& height)
{
    for (const PictureOperation& operation : operations) {
        if (operation.kind == PictureOperation::Kind::Crop) {
            width = operation.width;
            height = operation.height;
        } else if (operation.kind == PictureOperation::Kind::Rotate && operation.quarterTurns % 2 == 1) {
            std::swap(width, height);
        }
    }
}

std::vector<std::uint8_t> iccProfile(const Container& container, const Item& item)
{
    for (const Property* property : container.propertiesOf(item)) {
        if (property->type != "colr" || property->body.size() <= 4) {
            continue;
        }
        const std::string colourType(property->body.begin(), property->body.begin() + 4);
        if (colourType != "prof" && colourType != "rICC") {
            continue;
        }
        if (property->body.size() - 4 > protocol::kMaxIccProfileBytes) {
            return {};
        }
        return std::vector<std::uint8_t>(property->body.begin() + 4, property->body.end());
    }
    return {};
}

std::vector<std::uint8_t> exifBlock(Source& source, const Container& container, const Item& item)
{
    for (const std::uint32_t id : container.referencesTo(item.id, "cdsc")) {
        const Item* metadata = container.item(id);
        if (!metadata || metadata->type != "Exif") {
            continue;
        }
        // Metadata never fails the picture: its failures stay here.
        Failure ignored;
        std::vector<std::uint8_t> data;
        if (!readItemData(source, container, *metadata, protocol::kMaxExifBytes + 4, data, ignored) ||
            data.size() < 4) {
            return {};
        }
        // The block starts with the offset of the TIFF header from the end of the offset field. Some writers
        // count from the start of an "Exif\0\0" marker that they put before the header.
        std::uint64_t start = 4 + ((std::uint64_t(data[0]) << 24) | (std::uint64_t(data[1]) << 16) |
                                   (std::uint64_t(data[2]) << 8) | std::uint64_t(data[3]));
        constexpr std::uint8_t marker[] = {'E', 'x', 'i', 'f', 0, 0};
        if (start + sizeof(marker) + 8 <= data.size() &&
            std::equal(marker, marker + 6, data.begin() + start)) {
            start += sizeof(marker);
        }
        // A TIFF header and the offset of the first directory, which must lie inside the block.
        if (start + 8 > data.size() || data.size() - start > protocol::kMaxExifBytes ||
            !isTiffHeader(&data[start])) {
            return {};
        }
        const std::uint8_t* header = &data[start];
        const bool little = header[0] == 'I';
        std::uint32_t firstDirectory = 0;
        for (int i = 0; i < 4; ++i) {
            firstDirectory |= std::uint32_t(header[4 + i]) << (little ? 8 * i : 8 * (3 - i));
        }
        if (firstDirectory < 8 || std::uint64_t(firstDirectory) + 2 > data.size() - start) {
            return {};
        }
        return std::vector<std::uint8_t>(data.begin() + static_cast<std::ptrdiff_t>(start), data.end());
    }
    return {};
}

bool pictureExtras(Source& source, const Container& container, const Item& image, std::uint32_t width,
                   std::uint32_t height, PictureExtras& extras, Failure& failure)
{
    extras = PictureExtras();
    if (!pictureOperations(container, image, width, height, extras.operations, failure)) {
        return false;
    }
    // A grid's tile, an overlay's or identity's input: down to a coded image at most two parts deep.
    const Item* part = &image;
    for (int depth = 0; depth < 3 && part; ++depth) {
        extras.iccProfile = iccProfile(container, *part);
        const std::vector<const Reference*> parts = container.referencesFrom(part->id, "dimg");
        const bool composite = part->type == "grid" || part->type == "iovl" || part->type == "iden";
        if (!extras.iccProfile.empty() || !composite || hasColourDescription(container, *part) ||
            parts.empty() || parts.front()->to.empty()) {
            break;
        }
        part = container.item(parts.front()->to.front());
    }
    extras.exif = exifBlock(source, container, image);
    return true;
}

std::string operationsText(const std::vector<PictureOperation>& operations)
{
    std::string text;
    for (const PictureOperation& operation : operations) {
        switch (operation.kind) {
        case PictureOperation::Kind::Crop:
            text += "crop " + std::to_string(operation.left) + " " + std::to_string(operation.top) + " " +
                    std::to_string(operation.width) + " " + std::to_string(operation.height) + "\n";
            break;
        case PictureOperation::Kind::Rotate:
            text += "rotate " + std::to_string(operation.quarterTurns) + "\n";
            break;
        case PictureOperation::Kind::Mirror:
            text += "mirror " + std::to_string(operation.axis) + "\n";
            break;
        }
    }
    return text;
}

} // namespace heifsplit
