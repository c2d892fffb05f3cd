// SPDX-License-Identifier: GPL-3.0-or-later
#include "splitter/split.h"

#include "bitstream/sequenceheader.h"
#include "protocol/protocol.h"
#include "splitter/alpha.h"
#include "splitter/derived.h"
#include "splitter/images.h"
#include "splitter/limits.h"
#include "splitter/pictureextras.h"
#include "splitter/tiles.h"

namespace heifsplit {

namespace {

std::vector<std::uint8_t> bytesOf(const std::string& text)
{
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

bool writeExtras(TileSink& sink, const PictureExtras& extras, Failure& failure)
{
    return sink.writeSideFile(protocol::kTransformFile, bytesOf(operationsText(extras.operations)),
                              failure) &&
           (extras.iccProfile.empty() ||
            sink.writeSideFile(protocol::kIccProfileFile, extras.iccProfile, failure)) &&
           (extras.exif.empty() || sink.writeSideFile(protocol::kExifFile, extras.exif, failure));
}

// An overlay or identity image: its transform, profile and Exif, then its description; no tiles.
bool splitDerived(Source& source, const Container& container, const Item& image, TileSink& sink,
                  Failure& failure)
{
    DerivedPicture picture;
    PictureExtras extras;
    return describeDerived(source, container, image, picture, failure) &&
           pictureExtras(source, container, image, picture.width, picture.height, extras, failure) &&
           writeExtras(sink, extras, failure) &&
           sink.writeInfo(protocol::kDerivedFile, derivedText(picture), failure);
}

// The alpha plane of a grid or HEVC image, planned: a grid or HEVC image itself, decoding at most the pixels
// of the picture's own tiles.
bool planAlpha(Source& source, const Container& container, const Alpha& alpha, const TilePlan& picture,
               TilePlan& plan, Failure& failure)
{
    const ImageKind kind = imageKind(*alpha.image);
    if (kind != ImageKind::Coded && kind != ImageKind::Grid) {
        failForKind(*alpha.image, " alpha", failure);
        return false;
    }
    if (!planTiles(source, container, *alpha.image, plan, failure)) {
        return false;
    }
    const auto pixels = [](const TilePlan& tiles) {
        return std::uint64_t(tiles.tiles.size()) * tiles.tileWidth * tiles.tileHeight;
    };
    if (pixels(plan) > pixels(picture)) {
        failure.set(FailureKind::Limit,
                    "the alpha plane of " + std::to_string(plan.width) + " x " + std::to_string(plan.height) +
                        " decodes more than its picture of " + std::to_string(picture.width) + " x " +
                        std::to_string(picture.height));
        return false;
    }
    return true;
}

// Writes the planned tiles, numbered from 1, as PREFIX + number or as the side files PREFIX + alpha + number.
bool writeTiles(Source& source, const Container& container, const TilePlan& plan,
                const std::string& alphaPrefix, OutputBudget& budget, TileSink& sink, Failure& failure,
                hevc::SequenceHeader* format = nullptr)
{
    std::vector<std::uint8_t> stream;
    for (std::size_t n = 0; n < plan.tiles.size(); ++n) {
        const std::uint32_t number = static_cast<std::uint32_t>(n + 1);
        if (!tileStream(source, container, plan, plan.tiles[n], budget, stream, failure,
                        n == 0 ? format : nullptr) ||
            !(alphaPrefix.empty()
                  ? sink.writeTile(number, stream, failure)
                  : sink.writeSideFile(alphaPrefix + std::to_string(number), stream, failure))) {
            return false;
        }
    }
    return true;
}

// A grid or HEVC image, and its alpha plane when it has one.
bool splitTiles(Source& source, const Container& container, const Item& image, TileSink& sink,
                Failure& failure)
{
    TilePlan plan;
    TilePlan alphaPlan;
    Alpha alpha;
    PictureExtras extras;
    if (!planTiles(source, container, image, plan, failure) || !findAlpha(container, image, alpha, failure) ||
        (alpha.image && !planAlpha(source, container, alpha, plan, alphaPlan, failure)) ||
        !pictureExtras(source, container, image, plan.width, plan.height, extras, failure)) {
        return false;
    }
    // Tiles never share coded data, so together they hold at most the file; tiles that all name the same
    // bytes must not multiply the file onto the disk.
    OutputBudget budget{source.size(), kMaxParameterSetOutput};
    hevc::SequenceHeader format;
    if (!writeTiles(source, container, plan, "", budget, sink, failure, &format) ||
        (alpha.image &&
         !writeTiles(source, container, alphaPlan, protocol::kAlphaTilePrefix, budget, sink, failure)) ||
        !writeExtras(sink, extras, failure)) {
        return false;
    }
    if (format.bitDepthLuma != 8 || format.bitDepthChroma != 8) {
        const std::string depth =
            std::to_string(format.bitDepthLuma) + " " + std::to_string(format.bitDepthChroma) + "\n";
        if (!sink.writeSideFile(protocol::kDepthFile, bytesOf(depth), failure)) {
            return false;
        }
    }
    if (alpha.image &&
        (!sink.writeSideFile(protocol::kAlphaInfoFile, bytesOf(tileInfoText(alphaPlan)), failure) ||
         (alpha.premultiplied && !sink.writeSideFile(protocol::kPremultipliedFile, {}, failure)))) {
        return false;
    }
    return sink.writeInfo(protocol::kTileInfoFile, tileInfoText(plan), failure);
}

} // namespace

bool split(Source& source, TileSink& sink, Failure& failure, std::uint32_t item)
{
    Container container;
    if (!parseContainer(source, container, failure)) {
        return false;
    }
    const Item* image = imageItem(container, item, failure);
    if (!image) {
        return false;
    }
    switch (imageKind(*image)) {
    case ImageKind::Coded:
    case ImageKind::Grid:
        return splitTiles(source, container, *image, sink, failure);
    case ImageKind::Overlay:
    case ImageKind::Identity:
        return splitDerived(source, container, *image, sink, failure);
    case ImageKind::Other:
    case ImageKind::NotAPicture:
        break;
    }
    failForKind(*image, "", failure);
    return false;
}

std::uint64_t decodedPixels(Source& source, const Container& container, const Item& image)
{
    switch (imageKind(image)) {
    case ImageKind::Coded:
    case ImageKind::Grid:
        return pixelsWithAlpha(source, container, image);
    case ImageKind::Overlay:
    case ImageKind::Identity: {
        Failure ignored;
        DerivedPicture picture;
        return describeDerived(source, container, image, picture, ignored) ? picture.inputPixels : 0;
    }
    case ImageKind::Other:
    case ImageKind::NotAPicture:
        break;
    }
    return 0;
}

} // namespace heifsplit
