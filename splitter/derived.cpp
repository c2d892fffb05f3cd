// SPDX-License-Identifier: GPL-3.0-or-later
#include "splitter/derived.h"

#include "protocol/protocol.h"
#include "splitter/alpha.h"
#include "splitter/images.h"
#include "splitter/limits.h"
#include "splitter/pictureextras.h"
#include "splitter/range.h"
#include "splitter/tiles.h"

namespace heifsplit {

namespace {

std::string sizeText(std::uint64_t width, std::uint64_t height)
{
    return std::to_string(width) + " x " + std::to_string(height);
}

// The inputs an overlay or identity names: one dimg reference, to items that exist and are not the image.
bool inputItems(const Container& container, const Item& derived, std::vector<const Item*>& inputs,
                Failure& failure)
{
    const std::vector<const Reference*> references = container.referencesFrom(derived.id, "dimg");
    if (references.size() != 1 || references.front()->to.empty()) {
        failure.set(FailureKind::Malformed,
                    "the " + derived.type + " image " + std::to_string(derived.id) +
                        (references.size() > 1 ? " names its inputs twice" : " names no inputs"));
        return false;
    }
    const std::vector<std::uint32_t>& ids = references.front()->to;
    if (ids.size() > protocol::kMaxOverlayInputs) {
        failure.set(FailureKind::Limit, "the " + derived.type + " image places " +
                                            std::to_string(ids.size()) + " images, more than " +
                                            std::to_string(protocol::kMaxOverlayInputs));
        return false;
    }
    for (const std::uint32_t id : ids) {
        const Item* input = container.item(id);
        if (!input || id == derived.id) {
            failure.set(FailureKind::Malformed,
                        "the " + derived.type + " image names " +
                            (input ? "itself" : "the missing item " + std::to_string(id)) + " as an input");
            return false;
        }
        const ImageKind kind = imageKind(*input);
        if (kind != ImageKind::Coded && kind != ImageKind::Grid) {
            failForKind(*input, " in " + derived.type, failure);
            return false;
        }
        inputs.push_back(input);
    }
    return true;
}

// The overlay's data: its version, the canvas colour and size, and an offset for each input.
bool readOverlay(Source& source, const Container& container, const Item& overlay, std::size_t inputCount,
                 DerivedPicture& picture, Failure& failure)
{
    std::vector<std::uint8_t> data;
    if (!readItemData(source, container, overlay, kMaxOverlayDataSize, data, failure)) {
        return false;
    }
    Range range(data.data(), data.size(), failure, "iovl", 1);
    const std::uint8_t version = range.u8();
    const int fieldBytes = (range.u8() & 1) ? 4 : 2;
    for (std::uint16_t& channel : picture.fill) {
        channel = range.u16();
    }
    picture.width = static_cast<std::uint32_t>(range.uint(fieldBytes));
    picture.height = static_cast<std::uint32_t>(range.uint(fieldBytes));
    for (std::size_t n = 0; n < inputCount && range.ok(); ++n) {
        // Signed offsets of fieldBytes bytes.
        const int unusedBits = 64 - 8 * fieldBytes;
        DerivedInput& input = picture.inputs[n];
        input.x = static_cast<std::int64_t>(range.uint(fieldBytes) << unusedBits) >> unusedBits;
        input.y = static_cast<std::int64_t>(range.uint(fieldBytes) << unusedBits) >> unusedBits;
    }
    if (range.ok() && version != 0) {
        failure.set(FailureKind::Unsupported, "the overlay has version " + std::to_string(version));
    }
    return range.ok() && !failure.failed();
}

// An identity's canvas: its input as shown, with the input's own crop, rotation and mirror.
bool identityCanvas(Source& source, const Container& container, const Item& input, DerivedPicture& picture,
                    Failure& failure)
{
    TilePlan plan;
    std::vector<PictureOperation> operations;
    if (!planTiles(source, container, input, plan, failure) ||
        !pictureOperations(container, input, plan.width, plan.height, operations, failure)) {
        return false;
    }
    picture.width = plan.width;
    picture.height = plan.height;
    shownSize(operations, picture.width, picture.height);
    return true;
}

} // namespace

bool describeDerived(Source& source, const Container& container, const Item& derived, DerivedPicture& picture,
                     Failure& failure)
{
    picture = DerivedPicture();
    picture.type = derived.type;
    std::vector<const Item*> inputs;
    if (!inputItems(container, derived, inputs, failure)) {
        return false;
    }
    for (const Item* input : inputs) {
        picture.inputs.push_back(DerivedInput{input->id, 0, 0});
    }
    if (derived.type == "iden") {
        if (inputs.size() != 1) {
            failure.set(FailureKind::Malformed,
                        "the identity image names " + std::to_string(inputs.size()) + " inputs, not one");
            return false;
        }
        if (!identityCanvas(source, container, *inputs.front(), picture, failure)) {
            return false;
        }
    } else if (!readOverlay(source, container, derived, inputs.size(), picture, failure)) {
        return false;
    }

    const std::string canvas =
        "the " + derived.type + " image's canvas of " + sizeText(picture.width, picture.height);
    if (picture.width == 0 || picture.height == 0) {
        failure.set(FailureKind::Malformed, canvas + " is empty");
        return false;
    }
    if (picture.width > std::uint32_t(protocol::kMaxConvertedSide) ||
        picture.height > std::uint32_t(protocol::kMaxConvertedSide)) {
        failure.set(FailureKind::Limit, canvas + " is larger than " +
                                            std::to_string(protocol::kMaxConvertedSide) + " pixels a side");
        return false;
    }
    // Each input's declarations alone: a few bytes of each, whatever the inputs claim.
    const std::uint64_t allowed =
        protocol::kMaxOverlayWorkFactor * std::uint64_t(picture.width) * std::uint64_t(picture.height);
    for (const Item* input : inputs) {
        const std::uint64_t pixels = pixelsWithAlpha(source, container, *input);
        if (pixels == 0) {
            failure.set(FailureKind::Limit, "input " + std::to_string(input->id) + " of the " + derived.type +
                                                " image would not be decoded: damaged, or larger than " +
                                                std::to_string(protocol::kMaxConvertedSide) +
                                                " pixels a side");
            return false;
        }
        picture.inputPixels += pixels; // at most 64 inputs of under 2^32 pixels each
        if (derived.type == "iovl" && picture.inputPixels > allowed) {
            failure.set(FailureKind::Limit, "the overlay's inputs decode more than " +
                                                std::to_string(protocol::kMaxOverlayWorkFactor) +
                                                " times the pixels of its " +
                                                sizeText(picture.width, picture.height) + " canvas");
            return false;
        }
    }
    return true;
}

std::string derivedText(const DerivedPicture& picture)
{
    std::string text = "derived " + picture.type + "\ncanvas " + std::to_string(picture.width) + " " +
                       std::to_string(picture.height) + "\nfill";
    for (const std::uint16_t channel : picture.fill) {
        text += " " + std::to_string(channel);
    }
    text += "\n";
    for (const DerivedInput& input : picture.inputs) {
        text += "input " + std::to_string(input.item) + " " + std::to_string(input.x) + " " +
                std::to_string(input.y) + "\n";
    }
    return text;
}

} // namespace heifsplit
