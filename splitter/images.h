// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "splitter/container.h"
#include "splitter/failure.h"

namespace heifsplit {

// The image to take apart: the primary item for id 0, otherwise the item of that id, whatever it is (what
// cannot be taken apart fails later, with its own reason). Fails when there is no such item.
const Item* imageItem(const Container& container, std::uint32_t id, Failure& failure);

// The file's top-level images, the pictures it holds as its own (the frames of a burst, the pictures of a
// collection, both sides of a stereo pair): the primary item first, then in item order every other image
// item that is not hidden, not an input of a derived image such as a grid's tile ("dimg"), and not a
// thumbnail ("thmb") or an auxiliary image such as alpha, depth or a gain map ("auxl"). Images of kinds the
// splitter cannot take apart are listed too, so that converting them says why it fails. At most kMaxItems
// ids, as the file can declare no more. Fails as imageItem does for the primary.
bool topLevelImages(const Container& container, std::vector<std::uint32_t>& ids, Failure& failure);

// What an image item is, as far as converting it goes.
enum class ImageKind {
    Coded,       // one HEVC image (hvc1)
    Grid,        // a grid of HEVC images
    Overlay,     // images placed on a canvas (iovl)
    Identity,    // another image with transforms of its own (iden)
    Other,       // a picture of a kind not converted: another codec, a mask, a derivation not known here
    NotAPicture, // metadata (Exif, mime, uri), or an item that names no type
};
ImageKind imageKind(const Item& item);

// Fails for an item that cannot be converted where it is: a picture as of FailureKind::PictureKind, named by
// its type followed by where it lies (" in grid", " in iovl", " alpha"; nothing for the picture itself), and
// an item that is no picture at all as unsupported.
void failForKind(const Item& item, const std::string& where, Failure& failure);

} // namespace heifsplit
