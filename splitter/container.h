// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "splitter/failure.h"
#include "splitter/source.h"

namespace heifsplit {

struct Extent
{
    std::uint64_t offset = 0; // base offset already added
    std::uint64_t length = 0; // 0: to the end of the file or the idat
};

struct ItemLocation
{
    int constructionMethod = 0; // 0: file offset, 1: idat, 2: item offset (not supported)
    std::uint16_t dataReferenceIndex = 0;
    std::vector<Extent> extents;
};

struct PropertyAssociation
{
    std::uint32_t index = 0; // 1-based index into Container::properties
    bool essential = false;
};

struct Item
{
    std::uint32_t id = 0;
    std::string type; // four characters; empty for items of infe versions 0 and 1
    std::string name;
    std::string contentType; // of "mime" items
    bool hidden = false;
    bool hasLocation = false;
    ItemLocation location;
    std::vector<PropertyAssociation> associations; // in ipma order
};

// A property box of ipco: its type and body (for full boxes the version and flags come first).
struct Property
{
    std::string type;
    std::vector<std::uint8_t> body;
};

struct Reference
{
    std::string type; // "dimg", "thmb", "cdsc", "auxl", ...
    std::uint32_t from = 0;
    std::vector<std::uint32_t> to; // in stored order
};

// What the meta box of an image file says, resolved: items with their locations and properties, all
// references, the idat. It holds no item data.
struct Container
{
    std::string majorBrand;
    std::vector<std::string> compatibleBrands;
    std::string handler;
    bool hasPrimary = false;
    std::uint32_t primaryItem = 0;
    std::vector<Item> items;
    std::vector<Property> properties;
    std::vector<Reference> references;
    std::vector<std::uint8_t> idat;
    // Where each item id lies in items: files may declare many items, and every lookup is by id.
    std::unordered_map<std::uint32_t, std::size_t> itemIndex;

    const Item* item(std::uint32_t id) const;
    Item* item(std::uint32_t id);
    // The item's properties in ipma order.
    std::vector<const Property*> propertiesOf(const Item& item) const;
    // The item's first property of type, or nullptr.
    const Property* property(const Item& item, const std::string& type) const;
    // The references of type from the item; empty when there are none.
    std::vector<const Reference*> referencesFrom(std::uint32_t from, const std::string& type) const;
    // The items that refer to the item with a reference of type (for example "cdsc" metadata).
    std::vector<std::uint32_t> referencesTo(std::uint32_t to, const std::string& type) const;
};

// Reads the file's boxes: ftyp first, exactly one meta, anything else skipped. Returns false with the reason
// in failure when the file is not a readable image file.
bool parseContainer(Source& source, Container& container, Failure& failure);

// Appends the item's data, its extents in order, to out. At most limit bytes in total.
bool readItemData(Source& source, const Container& container, const Item& item, std::uint64_t limit,
                  std::vector<std::uint8_t>& out, Failure& failure);

} // namespace heifsplit
