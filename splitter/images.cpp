// SPDX-License-Identifier: GPL-3.0-or-later
#include "splitter/images.h"

#include <algorithm>
#include <string>
#include <unordered_set>

#include "splitter/range.h"

namespace heifsplit {

namespace {

// Coded and derived pictures. Metadata items (Exif, mime, uri) are not pictures, and neither is a "tmap":
// it renders the primary with its gain map, another form of a picture that is listed already.
bool isImageItem(const Item& item)
{
    static const char* const types[] = {"hvc1", "grid", "iden", "iovl", "av01",
                                        "avc1", "jpeg", "j2k1", "vvc1", "unci"};
    return std::any_of(std::begin(types), std::end(types),
                       [&](const char* type) { return item.type == type; });
}

} // namespace

const Item* imageItem(const Container& container, std::uint32_t id, Failure& failure)
{
    if (id != 0) {
        const Item* item = container.item(id);
        if (!item) {
            failure.set(FailureKind::Unsupported, "the file has no item " + std::to_string(id));
        }
        return item;
    }
    if (!container.hasPrimary) {
        failure.set(FailureKind::Malformed, "the file names no primary item");
        return nullptr;
    }
    const Item* primary = container.item(container.primaryItem);
    if (!primary) {
        failure.set(FailureKind::Malformed,
                    "the primary item " + std::to_string(container.primaryItem) + " does not exist");
    }
    return primary;
}

bool topLevelImages(const Container& container, std::vector<std::uint32_t>& ids, Failure& failure)
{
    ids.clear();
    const Item* primary = imageItem(container, 0, failure);
    if (!primary) {
        return false;
    }
    std::unordered_set<std::uint32_t> partOfAnother;
    for (const Reference& reference : container.references) {
        if (reference.type == "dimg") {
            partOfAnother.insert(reference.to.begin(), reference.to.end());
        } else if (reference.type == "thmb" || reference.type == "auxl") {
            partOfAnother.insert(reference.from);
        }
    }
    ids.push_back(primary->id);
    for (const Item& item : container.items) {
        if (item.id != primary->id && isImageItem(item) && !item.hidden && !partOfAnother.count(item.id)) {
            ids.push_back(item.id);
        }
    }
    return true;
}

ImageKind imageKind(const Item& item)
{
    static const char* const metadata[] = {"Exif", "mime", "uri "};
    if (item.type == "hvc1") {
        return ImageKind::Coded;
    }
    if (item.type == "grid") {
        return ImageKind::Grid;
    }
    if (item.type == "iovl") {
        return ImageKind::Overlay;
    }
    if (item.type == "iden") {
        return ImageKind::Identity;
    }
    const bool isMetadata = std::any_of(std::begin(metadata), std::end(metadata),
                                        [&](const char* type) { return item.type == type; });
    return item.type.size() != 4 || isMetadata ? ImageKind::NotAPicture : ImageKind::Other;
}

void failForKind(const Item& item, const std::string& where, Failure& failure)
{
    const std::string type = printable(item.type);
    if (imageKind(item) == ImageKind::NotAPicture) {
        failure.set(FailureKind::Unsupported,
                    "item " + std::to_string(item.id) + " is of type '" + type + "', not a picture");
    } else {
        failure.setPictureKind(type + where);
    }
}

} // namespace heifsplit
