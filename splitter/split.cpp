#include "splitter/split.h"

#include "protocol/protocol.h"
#include "splitter/images.h"
#include "splitter/limits.h"
#include "splitter/pictureextras.h"
#include "splitter/tiles.h"

namespace heifsplit {

namespace {

// A grid or HEVC image.
bool splitTiles(Source& source, const Container& container, const Item& image, TileSink& sink,
                Failure& failure)
{
    TilePlan plan;
    PictureExtras extras;
    if (!planTiles(source, container, image, plan, failure) ||
        !pictureExtras(source, container, image, plan.width, plan.height, plan.tiles.front(), extras,
                       failure)) {
        return false;
    }
    // Tiles never share coded data, so together they hold at most the file; tiles that all name the same
    // bytes must not multiply the file onto the disk.
    OutputBudget budget{source.size(), kMaxParameterSetOutput};
    std::vector<std::uint8_t> stream;
    for (std::size_t n = 0; n < plan.tiles.size(); ++n) {
        if (!tileStream(source, container, plan, plan.tiles[n], budget, stream, failure) ||
            !sink.writeTile(static_cast<std::uint32_t>(n + 1), stream, failure)) {
            return false;
        }
    }
    const std::string transform = operationsText(extras.operations);
    if (!sink.writeSideFile(protocol::kTransformFile,
                            std::vector<std::uint8_t>(transform.begin(), transform.end()), failure) ||
        (!extras.iccProfile.empty() &&
         !sink.writeSideFile(protocol::kIccProfileFile, extras.iccProfile, failure)) ||
        (!extras.exif.empty() && !sink.writeSideFile(protocol::kExifFile, extras.exif, failure))) {
        return false;
    }
    return sink.writeInfo(tileInfoText(plan), failure);
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
    const ImageKind kind = imageKind(*image);
    if (kind == ImageKind::Coded || kind == ImageKind::Grid) {
        return splitTiles(source, container, *image, sink, failure);
    }
    failForKind(*image, "", failure);
    return false;
}

std::uint64_t decodedPixels(Source& source, const Container& container, const Item& image)
{
    return tilePixels(source, container, image);
}

} // namespace heifsplit
