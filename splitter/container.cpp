// SPDX-License-Identifier: GPL-3.0-or-later
#include "splitter/container.h"

#include <algorithm>
#include <set>

#include "splitter/limits.h"
#include "splitter/range.h"

namespace heifsplit {

namespace {

bool isImageBrand(const std::string& brand)
{
    static const char* const brands[] = {"mif1", "msf1", "heic", "heix", "heim",
                                         "heis", "hevc", "hevx", "miaf"};
    return std::any_of(std::begin(brands), std::end(brands),
                       [&](const char* known) { return brand == known; });
}

// Version and flags of a full box.
struct FullBoxHeader
{
    std::uint8_t version = 0;
    std::uint32_t flags = 0;
};

FullBoxHeader readFullBoxHeader(Range& range)
{
    FullBoxHeader header;
    header.version = range.u8();
    header.flags = static_cast<std::uint32_t>(range.uint(3));
    return header;
}

void parseFtyp(Range range, Container& container)
{
    container.majorBrand = range.fourcc();
    range.u32(); // minor version
    while (range.ok() && range.remaining() >= 4) {
        container.compatibleBrands.push_back(range.fourcc());
    }
    const bool known =
        isImageBrand(container.majorBrand) ||
        std::any_of(container.compatibleBrands.begin(), container.compatibleBrands.end(), isImageBrand);
    if (range.ok() && !known) {
        range.failure().set(FailureKind::Unsupported,
                            "the file type '" + printable(container.majorBrand) + "' is not a HEIF image");
    }
}

void parseHdlr(Range range, Container& container)
{
    readFullBoxHeader(range);
    range.u32(); // pre_defined
    container.handler = range.fourcc();
    if (range.ok() && container.handler != "pict") {
        range.fail(FailureKind::Unsupported,
                   "names the handler '" + printable(container.handler) + "', not 'pict'");
    }
}

void parsePitm(Range range, Container& container)
{
    const FullBoxHeader header = readFullBoxHeader(range);
    container.primaryItem = static_cast<std::uint32_t>(range.uint(header.version == 0 ? 2 : 4));
    container.hasPrimary = range.ok();
}

void parseInfe(Range range, Container& container)
{
    const FullBoxHeader header = readFullBoxHeader(range);
    Item item;
    if (header.version <= 1) {
        item.id = range.u16();
        range.u16(); // protection index
        item.name = range.string();
        item.contentType = range.string();
    } else if (header.version <= 3) {
        item.id = static_cast<std::uint32_t>(range.uint(header.version == 2 ? 2 : 4));
        range.u16(); // protection index
        item.type = range.fourcc();
        item.name = range.string();
        if (item.type == "mime") {
            item.contentType = range.string();
        }
        item.hidden = (header.flags & 1) != 0;
    } else {
        range.fail(FailureKind::Unsupported, "has version " + std::to_string(header.version));
    }
    if (!range.ok()) {
        return;
    }
    if (item.id == 0) {
        range.fail(FailureKind::Malformed, "names item 0");
    } else if (container.items.size() >= kMaxItems) {
        range.fail(FailureKind::Limit, "declares more than " + std::to_string(kMaxItems) + " items");
    } else if (container.item(item.id)) {
        range.fail(FailureKind::Malformed, "declares item " + std::to_string(item.id) + " twice");
    } else {
        container.itemIndex.emplace(item.id, container.items.size());
        container.items.push_back(std::move(item));
    }
}

void parseIinf(Range range, Container& container)
{
    const FullBoxHeader header = readFullBoxHeader(range);
    range.uint(header.version == 0 ? 2 : 4); // entry count: the infe boxes themselves are what counts
    while (range.ok() && !range.atEnd()) {
        std::string type;
        Range child = range.nextBox(type);
        if (range.ok() && type == "infe") {
            parseInfe(child, container);
        }
    }
}

void parseIref(Range range, Container& container)
{
    const FullBoxHeader header = readFullBoxHeader(range);
    const int idSize = header.version == 0 ? 2 : 4;
    while (range.ok() && !range.atEnd()) {
        Reference reference;
        Range child = range.nextBox(reference.type);
        reference.from = static_cast<std::uint32_t>(child.uint(idSize));
        const std::uint16_t count = child.u16();
        if (child.ok() && std::uint64_t(count) * std::uint64_t(idSize) > child.remaining()) {
            child.fail(FailureKind::Truncated, "lists more references than it holds");
        }
        for (std::uint16_t i = 0; i < count && child.ok(); ++i) {
            reference.to.push_back(static_cast<std::uint32_t>(child.uint(idSize)));
        }
        if (child.ok() && container.references.size() >= kMaxReferences) {
            child.fail(FailureKind::Limit,
                       "declares more than " + std::to_string(kMaxReferences) + " references");
        }
        if (child.ok()) {
            container.references.push_back(std::move(reference));
        }
    }
}

void parseIpco(Range range, Container& container)
{
    while (range.ok() && !range.atEnd()) {
        Property property;
        Range child = range.nextBox(property.type);
        const std::size_t size = child.remaining();
        const std::uint8_t* body = child.take(size);
        if (!range.ok()) {
            return;
        }
        if (container.properties.size() >= kMaxProperties) {
            range.fail(FailureKind::Limit,
                       "declares more than " + std::to_string(kMaxProperties) + " properties");
            return;
        }
        property.body.assign(body, body + size);
        container.properties.push_back(std::move(property));
    }
}

struct Association
{
    std::uint32_t item = 0;
    std::vector<PropertyAssociation> properties;
};

void parseIpma(Range range, std::vector<Association>& associations)
{
    const FullBoxHeader header = readFullBoxHeader(range);
    const std::uint32_t count = range.u32();
    for (std::uint32_t i = 0; i < count && range.ok(); ++i) {
        Association association;
        association.item = static_cast<std::uint32_t>(range.uint(header.version < 1 ? 2 : 4));
        const std::uint8_t properties = range.u8();
        for (std::uint8_t p = 0; p < properties && range.ok(); ++p) {
            PropertyAssociation property;
            if (header.flags & 1) {
                const std::uint16_t value = range.u16();
                property.essential = (value & 0x8000) != 0;
                property.index = value & 0x7fff;
            } else {
                const std::uint8_t value = range.u8();
                property.essential = (value & 0x80) != 0;
                property.index = value & 0x7f;
            }
            if (property.index != 0) { // 0 stands for no property
                association.properties.push_back(property);
            }
        }
        if (range.ok() && associations.size() >= kMaxItems) {
            range.fail(FailureKind::Limit, "associates more than " + std::to_string(kMaxItems) + " items");
        }
        if (range.ok()) {
            associations.push_back(std::move(association));
        }
    }
}

void parseIprp(Range range, Container& container, std::vector<Association>& associations)
{
    bool seenIpco = false;
    while (range.ok() && !range.atEnd()) {
        std::string type;
        Range child = range.nextBox(type);
        if (!range.ok()) {
            break;
        }
        if (type == "ipco") {
            if (seenIpco) {
                range.fail(FailureKind::Malformed, "holds two 'ipco' boxes");
                break;
            }
            seenIpco = true;
            parseIpco(child, container);
        } else if (type == "ipma") {
            parseIpma(child, associations);
        }
    }
}

// Gives the items their properties, once both are known.
void resolveAssociations(Range& range, std::vector<Association>& associations, Container& container)
{
    std::set<std::uint32_t> associated;
    for (Association& association : associations) {
        if (!associated.insert(association.item).second) {
            range.fail(FailureKind::Malformed,
                       "associates item " + std::to_string(association.item) + " twice");
            return;
        }
        for (const PropertyAssociation& property : association.properties) {
            if (property.index > container.properties.size()) {
                range.fail(FailureKind::Malformed,
                           "associates the missing property " + std::to_string(property.index));
                return;
            }
        }
        // Associations of items that infe does not declare are harmless and ignored.
        if (Item* item = container.item(association.item)) {
            item->associations = std::move(association.properties);
        }
    }
}

void parseIloc(Range range, Container& container)
{
    const FullBoxHeader header = readFullBoxHeader(range);
    if (header.version > 2) {
        range.fail(FailureKind::Unsupported, "has version " + std::to_string(header.version));
        return;
    }
    const std::uint8_t sizes = range.u8();
    const std::uint8_t moreSizes = range.u8();
    const int offsetSize = sizes >> 4;
    const int lengthSize = sizes & 0xf;
    const int baseOffsetSize = moreSizes >> 4;
    const int indexSize = header.version >= 1 ? (moreSizes & 0xf) : 0;
    for (const int size : {offsetSize, lengthSize, baseOffsetSize, indexSize}) {
        if (size != 0 && size != 4 && size != 8) {
            range.fail(FailureKind::Malformed, "has a field size of " + std::to_string(size) + " bytes");
            return;
        }
    }
    const std::uint32_t count = static_cast<std::uint32_t>(range.uint(header.version < 2 ? 2 : 4));
    for (std::uint32_t i = 0; i < count && range.ok(); ++i) {
        const std::uint32_t id = static_cast<std::uint32_t>(range.uint(header.version < 2 ? 2 : 4));
        ItemLocation location;
        if (header.version >= 1) {
            location.constructionMethod = range.u16() & 0xf;
        }
        location.dataReferenceIndex = range.u16();
        const std::uint64_t baseOffset = range.uint(baseOffsetSize);
        const std::uint16_t extentCount = range.u16();
        if (range.ok() && extentCount > kMaxExtents) {
            range.fail(FailureKind::Limit, "gives item " + std::to_string(id) + " more than " +
                                               std::to_string(kMaxExtents) + " extents");
        }
        for (std::uint16_t e = 0; e < extentCount && range.ok(); ++e) {
            range.uint(indexSize);
            Extent extent;
            const std::uint64_t offset = range.uint(offsetSize);
            extent.length = range.uint(lengthSize);
            if (offset > UINT64_MAX - baseOffset) {
                range.fail(FailureKind::Malformed, "places item " + std::to_string(id) + " past any file");
            }
            extent.offset = baseOffset + offset;
            location.extents.push_back(extent);
        }
        if (!range.ok()) {
            return;
        }
        Item* item = container.item(id);
        if (!item) {
            continue; // data of an item nobody declares: never read
        }
        if (item->hasLocation) {
            range.fail(FailureKind::Malformed, "locates item " + std::to_string(id) + " twice");
            return;
        }
        item->hasLocation = true;
        item->location = std::move(location);
    }
}

void parseMeta(Range range, Container& container)
{
    readFullBoxHeader(range);
    Range iloc(nullptr, 0, range.failure(), "iloc");
    bool seenIloc = false;
    std::vector<Association> associations;
    std::set<std::string> seen;
    while (range.ok() && !range.atEnd()) {
        std::string type;
        Range child = range.nextBox(type);
        if (!range.ok()) {
            return;
        }
        static const char* const single[] = {"hdlr", "pitm", "iinf", "iref", "iprp", "iloc", "idat"};
        const bool isSingle =
            std::any_of(std::begin(single), std::end(single), [&](const char* name) { return type == name; });
        if (isSingle && !seen.insert(type).second) {
            range.fail(FailureKind::Malformed, "holds two '" + type + "' boxes");
            return;
        }
        if (type == "hdlr") {
            parseHdlr(child, container);
        } else if (type == "pitm") {
            parsePitm(child, container);
        } else if (type == "iinf") {
            parseIinf(child, container);
        } else if (type == "iref") {
            parseIref(child, container);
        } else if (type == "iprp") {
            parseIprp(child, container, associations);
        } else if (type == "iloc") {
            iloc = child;
            seenIloc = true;
        } else if (type == "idat") {
            const std::size_t size = child.remaining();
            const std::uint8_t* body = child.take(size);
            container.idat.assign(body, body + size);
        }
    }
    if (range.ok() && container.handler.empty()) {
        range.fail(FailureKind::Malformed, "has no 'hdlr' box");
    }
    // Locations and properties are given to the items once every item is known, whatever the box order.
    if (range.ok()) {
        resolveAssociations(range, associations, container);
    }
    if (range.ok() && seenIloc) {
        parseIloc(iloc, container);
    }
}

} // namespace

const Item* Container::item(std::uint32_t id) const
{
    const auto found = itemIndex.find(id);
    return found == itemIndex.end() ? nullptr : &items[found->second];
}

Item* Container::item(std::uint32_t id)
{
    const auto found = itemIndex.find(id);
    return found == itemIndex.end() ? nullptr : &items[found->second];
}

std::vector<const Property*> Container::propertiesOf(const Item& item) const
{
    std::vector<const Property*> result;
    for (const PropertyAssociation& association : item.associations) {
        if (association.index >= 1 && association.index <= properties.size()) {
            result.push_back(&properties[association.index - 1]);
        }
    }
    return result;
}

const Property* Container::property(const Item& item, const std::string& type) const
{
    for (const Property* candidate : propertiesOf(item)) {
        if (candidate->type == type) {
            return candidate;
        }
    }
    return nullptr;
}

std::vector<const Reference*> Container::referencesFrom(std::uint32_t from, const std::string& type) const
{
    std::vector<const Reference*> result;
    for (const Reference& reference : references) {
        if (reference.from == from && reference.type == type) {
            result.push_back(&reference);
        }
    }
    return result;
}

std::vector<std::uint32_t> Container::referencesTo(std::uint32_t to, const std::string& type) const
{
    std::vector<std::uint32_t> result;
    for (const Reference& reference : references) {
        if (reference.type == type &&
            std::find(reference.to.begin(), reference.to.end(), to) != reference.to.end()) {
            result.push_back(reference.from);
        }
    }
    return result;
}

bool parseContainer(Source& source, Container& container, Failure& failure)
{
    const std::uint64_t fileSize = source.size();
    std::uint64_t position = 0;
    bool seenFtyp = false;
    bool seenMeta = false;
    while (!failure.failed() && position < fileSize) {
        // The header: 8 bytes, 16 with a 64-bit size; a uuid's extended type counts as body here.
        const std::uint64_t left = fileSize - position;
        std::vector<std::uint8_t> header;
        if (left < 8 || !source.read(position, std::min<std::uint64_t>(16, left), header, failure)) {
            failure.set(FailureKind::Truncated,
                        "the file ends inside a box header at offset " + std::to_string(position));
            break;
        }
        Range headerRange(header.data(), header.size(), failure, "file");
        std::uint64_t size = headerRange.u32();
        const std::string type = headerRange.fourcc();
        std::uint64_t headerSize = 8;
        if (size == 1) {
            if (left < 16) {
                failure.set(FailureKind::Truncated,
                            "the file ends inside a box header at offset " + std::to_string(position));
                break;
            }
            size = headerRange.u64();
            headerSize = 16;
        } else if (size == 0) {
            size = left;
        }
        if (!seenFtyp && type != "ftyp") {
            failure.set(FailureKind::Unsupported, "the file does not start with a file type box");
            break;
        }
        if (size < headerSize || size > left) {
            failure.set(
                size < headerSize ? FailureKind::Malformed : FailureKind::Truncated,
                "box '" + printable(type) + "' at offset " + std::to_string(position) + " of " +
                    std::to_string(size) + " bytes " +
                    (size < headerSize ? "is smaller than its header" : "runs past the end of the file"));
            break;
        }
        if (type == "ftyp" || type == "meta") {
            if ((type == "ftyp" && seenFtyp) || (type == "meta" && seenMeta)) {
                failure.set(FailureKind::Malformed, "the file holds two '" + type + "' boxes");
                break;
            }
            if (size - headerSize > kMaxBoxSize) {
                failure.set(FailureKind::Limit,
                            "box '" + type + "' is larger than " + std::to_string(kMaxBoxSize) + " bytes");
                break;
            }
            std::vector<std::uint8_t> body;
            if (!source.read(position + headerSize, size - headerSize, body, failure)) {
                break;
            }
            Range range(body.data(), body.size(), failure, type, 1);
            if (type == "ftyp") {
                seenFtyp = true;
                parseFtyp(range, container);
            } else {
                seenMeta = true;
                parseMeta(range, container);
            }
        }
        position += size;
    }
    if (!failure.failed() && !seenFtyp) {
        failure.set(FailureKind::Unsupported, "the file is empty");
    }
    if (!failure.failed() && !seenMeta) {
        failure.set(FailureKind::Unsupported, "the file has no 'meta' box");
    }
    return !failure.failed();
}

bool readItemData(Source& source, const Container& container, const Item& item, std::uint64_t limit,
                  std::vector<std::uint8_t>& out, Failure& failure)
{
    const std::string name = "item " + std::to_string(item.id);
    if (!item.hasLocation) {
        failure.set(FailureKind::Malformed, name + " has no location");
        return false;
    }
    const ItemLocation& location = item.location;
    if (location.dataReferenceIndex != 0) {
        failure.set(FailureKind::Unsupported, name + " lies in another file");
        return false;
    }
    if (location.constructionMethod != 0 && location.constructionMethod != 1) {
        failure.set(FailureKind::Unsupported,
                    name + " is built by construction method " + std::to_string(location.constructionMethod));
        return false;
    }
    const bool inIdat = location.constructionMethod == 1;
    const std::uint64_t available = inIdat ? container.idat.size() : source.size();
    std::uint64_t total = 0;
    for (const Extent& extent : location.extents) {
        if (extent.offset > available) {
            failure.set(FailureKind::Truncated,
                        name + " starts past the end of " + (inIdat ? "its idat" : "the file"));
            return false;
        }
        const std::uint64_t length = extent.length == 0 ? available - extent.offset : extent.length;
        if (length > available - extent.offset) {
            failure.set(FailureKind::Truncated,
                        name + " runs past the end of " + (inIdat ? "its idat" : "the file"));
            return false;
        }
        total += length; // each length is at most the file size: no overflow
        if (total > limit) {
            failure.set(FailureKind::Limit, name + " makes the tiles hold more data than the file");
            return false;
        }
        if (inIdat) {
            const auto begin = container.idat.begin() + static_cast<std::ptrdiff_t>(extent.offset);
            out.insert(out.end(), begin, begin + static_cast<std::ptrdiff_t>(length));
        } else if (!source.read(extent.offset, length, out, failure)) {
            return false;
        }
    }
    return true;
}

} // namespace heifsplit
