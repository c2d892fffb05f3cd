// SPDX-License-Identifier: GPL-3.0-or-later
#include "splitter/tiles.h"

#include "bitstream/sequenceheader.h"
#include "protocol/protocol.h"
#include "splitter/images.h"
#include "splitter/limits.h"
#include "splitter/range.h"

namespace heifsplit {

namespace {

const std::uint8_t kStartCode[] = {0, 0, 0, 1};

// The most bytes a grid description may have: 12 are enough.
constexpr std::uint64_t kMaxGridDataSize = 64;

std::string itemName(const Item& item)
{
    return "item " + std::to_string(item.id);
}

// The size an ispe property gives, or false with failure set.
bool imageSize(const Container& container, const Item& item, std::uint32_t& width, std::uint32_t& height,
               Failure& failure)
{
    const Property* ispe = container.property(item, "ispe");
    if (!ispe) {
        failure.set(FailureKind::Malformed, itemName(item) + " has no size ('ispe')");
        return false;
    }
    Range range(ispe->body.data(), ispe->body.size(), failure, "ispe", 2);
    range.u32(); // version and flags
    width = range.u32();
    height = range.u32();
    if (!range.ok()) {
        return false;
    }
    if (width == 0 || height == 0 || width > protocol::kMaxDeclaredSide ||
        height > protocol::kMaxDeclaredSide) {
        failure.set(width == 0 || height == 0 ? FailureKind::Malformed : FailureKind::Limit,
                    itemName(item) + " claims a size of " + std::to_string(width) + " x " +
                        std::to_string(height));
        return false;
    }
    return true;
}

// A coded HEVC image with its configuration; anything else fails as failForKind says, where it lies.
bool isHevcImage(const Container& container, const Item& item, Failure& failure,
                 const std::string& where = "")
{
    if (imageKind(item) != ImageKind::Coded) {
        failForKind(item, where, failure);
        return false;
    }
    if (!container.property(item, "hvcC")) {
        failure.set(FailureKind::Malformed, itemName(item) + " has no HEVC configuration ('hvcC')");
        return false;
    }
    return true;
}

// The grid's description: its rows, columns and output size.
bool readGridHeader(Source& source, const Container& container, const Item& grid, TilePlan& plan,
                    Failure& failure)
{
    std::vector<std::uint8_t> data;
    if (!readItemData(source, container, grid, kMaxGridDataSize, data, failure)) {
        return false;
    }
    Range range(data.data(), data.size(), failure, "grid", 1);
    const std::uint8_t version = range.u8();
    const std::uint8_t flags = range.u8();
    plan.rows = std::uint32_t(range.u8()) + 1;
    plan.cols = std::uint32_t(range.u8()) + 1;
    const int sizeBytes = (flags & 1) ? 4 : 2;
    plan.width = static_cast<std::uint32_t>(range.uint(sizeBytes));
    plan.height = static_cast<std::uint32_t>(range.uint(sizeBytes));
    if (!range.ok()) {
        return false;
    }
    if (version != 0) {
        failure.set(FailureKind::Unsupported, "the grid has version " + std::to_string(version));
        return false;
    }
    if (plan.width == 0 || plan.height == 0 || plan.width > protocol::kMaxDeclaredSide ||
        plan.height > protocol::kMaxDeclaredSide) {
        failure.set(plan.width == 0 || plan.height == 0 ? FailureKind::Malformed : FailureKind::Limit,
                    "the grid claims a size of " + std::to_string(plan.width) + " x " +
                        std::to_string(plan.height));
        return false;
    }
    return true;
}

// The grid's tiles, in row-major order: as many as its rows times its columns, named once.
bool readGridTiles(const Container& container, const Item& grid, TilePlan& plan, Failure& failure)
{
    const std::uint32_t tileCount = plan.rows * plan.cols; // at most 256 x 256
    if (tileCount > kMaxTiles) {
        failure.set(FailureKind::Limit, "the grid claims " + std::to_string(plan.rows) + " x " +
                                            std::to_string(plan.cols) + " tiles, more than " +
                                            std::to_string(kMaxTiles));
        return false;
    }
    const std::vector<const Reference*> references = container.referencesFrom(grid.id, "dimg");
    if (references.size() != 1) {
        failure.set(FailureKind::Malformed,
                    references.empty() ? "the grid names no tiles" : "the grid names its tiles twice");
        return false;
    }
    const std::vector<std::uint32_t>& tiles = references.front()->to;
    if (tiles.size() != tileCount) {
        failure.set(FailureKind::Malformed, "the grid of " + std::to_string(plan.rows) + " x " +
                                                std::to_string(plan.cols) + " tiles names " +
                                                std::to_string(tiles.size()) + " tiles");
        return false;
    }
    plan.tiles = tiles;
    return true;
}

// The size every tile of the grid declares: each must be an HEVC image of the first one's size.
bool readTileSize(const Container& container, const Item& grid, TilePlan& plan, Failure& failure)
{
    for (const std::uint32_t id : plan.tiles) {
        const Item* tile = container.item(id);
        if (!tile) {
            failure.set(FailureKind::Malformed, "the grid names the missing item " + std::to_string(id));
            return false;
        }
        if (tile->id == grid.id) {
            failure.set(FailureKind::Malformed, "the grid names itself as a tile");
            return false;
        }
        std::uint32_t width = 0;
        std::uint32_t height = 0;
        if (!isHevcImage(container, *tile, failure, " in grid") ||
            !imageSize(container, *tile, width, height, failure)) {
            return false;
        }
        if (plan.tileWidth == 0) {
            plan.tileWidth = width;
            plan.tileHeight = height;
        } else if (width != plan.tileWidth || height != plan.tileHeight) {
            failure.set(FailureKind::Malformed, "the grid's tiles differ in size");
            return false;
        }
    }
    return true;
}

// The tiles must cover the picture, and no whole row or column of them may lie outside it.
bool checkTilesMakeGrid(const TilePlan& plan, Failure& failure)
{
    const std::uint64_t coveredWidth = std::uint64_t(plan.tileWidth) * plan.cols;
    const std::uint64_t coveredHeight = std::uint64_t(plan.tileHeight) * plan.rows;
    if (coveredWidth < plan.width || coveredHeight < plan.height ||
        coveredWidth - plan.tileWidth >= plan.width || coveredHeight - plan.tileHeight >= plan.height) {
        failure.set(FailureKind::Malformed,
                    "the grid of " + std::to_string(plan.rows) + " x " + std::to_string(plan.cols) +
                        " tiles of " + std::to_string(plan.tileWidth) + " x " +
                        std::to_string(plan.tileHeight) + " does not make " + std::to_string(plan.width) +
                        " x " + std::to_string(plan.height));
        return false;
    }
    return true;
}

// A grid in its phases: its description, its tiles, their size, and whether they make the picture.
bool planGrid(Source& source, const Container& container, const Item& grid, TilePlan& plan, Failure& failure)
{
    return readGridHeader(source, container, grid, plan, failure) &&
           readGridTiles(container, grid, plan, failure) && readTileSize(container, grid, plan, failure) &&
           checkTilesMakeGrid(plan, failure);
}

// Checks a NAL unit of a tile: a sequence parameter set must declare the tile's size. Counts them, and keeps
// the first one's sample format.
bool checkUnit(const std::uint8_t* unit, std::uint64_t length, const TilePlan& plan, int& sequenceHeaders,
               hevc::SequenceHeader& format, Failure& failure)
{
    if (length < 2 || hevc::nalUnitType(unit[0]) != hevc::kSequenceParameterSet) {
        return true;
    }
    ++sequenceHeaders;
    const std::optional<hevc::SequenceHeader> header = hevc::readSequenceHeader(unit + 2, length - 2);
    if (!header) {
        failure.set(FailureKind::Malformed, "a tile has a damaged sequence parameter set");
        return false;
    }
    if (sequenceHeaders == 1) {
        format = *header;
    }
    if (header->width() != plan.tileWidth || header->height() != plan.tileHeight) {
        failure.set(FailureKind::Malformed,
                    "a tile's stream makes a picture of " + std::to_string(header->width()) + " x " +
                        std::to_string(header->height()) + ", not the " + std::to_string(plan.tileWidth) +
                        " x " + std::to_string(plan.tileHeight) + " it declares");
        return false;
    }
    return true;
}

// Appends the parameter sets of an hvcC as start-code units and gives the NAL length size.
bool parameterSets(const Property& hvcC, const TilePlan& plan, int& lengthSize, int& sequenceHeaders,
                   hevc::SequenceHeader& format, std::vector<std::uint8_t>& out, Failure& failure)
{
    Range range(hvcC.body.data(), hvcC.body.size(), failure, "hvcC", 2);
    range.skip(21); // version, profile, tier, level and format fields
    lengthSize = (range.u8() & 3) + 1;
    const std::uint8_t arrays = range.u8();
    for (std::uint8_t a = 0; a < arrays && range.ok(); ++a) {
        range.u8(); // completeness and NAL unit type
        const std::uint16_t count = range.u16();
        for (std::uint16_t n = 0; n < count && range.ok(); ++n) {
            const std::uint16_t length = range.u16();
            const std::uint8_t* unit = range.take(length);
            if (unit && length > 0) {
                if (!checkUnit(unit, length, plan, sequenceHeaders, format, failure)) {
                    return false;
                }
                out.insert(out.end(), std::begin(kStartCode), std::end(kStartCode));
                out.insert(out.end(), unit, unit + length);
            }
        }
    }
    if (range.ok() && lengthSize == 3) {
        failure.set(FailureKind::Malformed, "the HEVC configuration gives NAL lengths of 3 bytes");
    }
    return range.ok();
}

} // namespace

bool planTiles(Source& source, const Container& container, const Item& image, TilePlan& plan,
               Failure& failure)
{
    plan = TilePlan();
    if (image.type == "grid") {
        return planGrid(source, container, image, plan, failure);
    }
    if (!isHevcImage(container, image, failure) ||
        !imageSize(container, image, plan.width, plan.height, failure)) {
        return false;
    }
    plan.rows = 1;
    plan.cols = 1;
    plan.tileWidth = plan.width;
    plan.tileHeight = plan.height;
    plan.tiles = {image.id};
    return true;
}

std::uint64_t tilePixels(Source& source, const Container& container, const Item& image)
{
    Failure ignored;
    TilePlan plan;
    std::uint32_t tileWidth = 0;
    std::uint32_t tileHeight = 0;
    if (image.type == "grid") {
        const std::vector<const Reference*> references = container.referencesFrom(image.id, "dimg");
        const Item* firstTile = references.size() == 1 && !references.front()->to.empty()
                                    ? container.item(references.front()->to.front())
                                    : nullptr;
        if (!readGridHeader(source, container, image, plan, ignored) || !firstTile ||
            !isHevcImage(container, *firstTile, ignored) ||
            !imageSize(container, *firstTile, tileWidth, tileHeight, ignored)) {
            return 0;
        }
    } else {
        if (!isHevcImage(container, image, ignored) ||
            !imageSize(container, image, plan.width, plan.height, ignored)) {
            return 0;
        }
        plan.rows = 1;
        plan.cols = 1;
        tileWidth = plan.width;
        tileHeight = plan.height;
    }
    if (plan.width > std::uint32_t(protocol::kMaxConvertedSide) ||
        plan.height > std::uint32_t(protocol::kMaxConvertedSide)) {
        return 0;
    }
    // At most 2^16 tiles of at most 2^20 x 2^20 pixels.
    return std::uint64_t(plan.rows) * plan.cols * tileWidth * tileHeight;
}

bool tileStream(Source& source, const Container& container, const TilePlan& plan, std::uint32_t itemId,
                OutputBudget& budget, std::vector<std::uint8_t>& out, Failure& failure,
                hevc::SequenceHeader* format)
{
    const Item* item = container.item(itemId);
    if (!item) {
        failure.set(FailureKind::Malformed, "tile item " + std::to_string(itemId) + " does not exist");
        return false;
    }
    if (!isHevcImage(container, *item, failure)) {
        return false;
    }
    int lengthSize = 4;
    int sequenceHeaders = 0;
    hevc::SequenceHeader firstFormat;
    std::vector<std::uint8_t> parameters;
    if (!parameterSets(*container.property(*item, "hvcC"), plan, lengthSize, sequenceHeaders, firstFormat,
                       parameters, failure)) {
        return false;
    }
    if (parameters.size() > budget.parameterSets) {
        failure.set(FailureKind::Limit, "the tiles' parameter sets come to more than " +
                                            std::to_string(kMaxParameterSetOutput) + " bytes");
        return false;
    }
    budget.parameterSets -= parameters.size();
    std::vector<std::uint8_t> data;
    if (!readItemData(source, container, *item, budget.codedData, data, failure)) {
        return false;
    }
    budget.codedData -= data.size();

    out = std::move(parameters);
    Range range(data.data(), data.size(), failure, "item " + std::to_string(itemId), 1);
    while (range.ok() && !range.atEnd()) {
        const std::uint64_t length = range.uint(lengthSize);
        const std::uint8_t* unit = range.take(length);
        if (range.ok() && length == 0) {
            range.fail(FailureKind::Malformed, "holds an empty NAL unit");
        }
        if (range.ok() && !checkUnit(unit, length, plan, sequenceHeaders, firstFormat, failure)) {
            return false;
        }
        if (range.ok()) {
            out.insert(out.end(), std::begin(kStartCode), std::end(kStartCode));
            out.insert(out.end(), unit, unit + length);
        }
    }
    if (range.ok() && data.empty()) {
        range.fail(FailureKind::Malformed, "holds no coded data");
    }
    if (range.ok() && sequenceHeaders == 0) {
        range.fail(FailureKind::Malformed, "has no sequence parameter set");
    }
    if (format) {
        *format = firstFormat;
    }
    return range.ok();
}

std::string tileInfoText(const TilePlan& plan)
{
    std::string text = "width=" + std::to_string(plan.width) + "\nheight=" + std::to_string(plan.height) +
                       "\nrow=" + std::to_string(plan.rows) + "\ncol=" + std::to_string(plan.cols) + "\n";
    for (std::size_t n = 1; n <= plan.tiles.size(); ++n) {
        text += std::to_string(n) + ",";
    }
    return text + "\n";
}

} // namespace heifsplit
