// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "splitter/container.h"
#include "splitter/failure.h"
#include "splitter/source.h"

namespace heifsplit {

// One step that turns the decoded picture into the picture as the camera meant it to be shown.
struct PictureOperation
{
    enum class Kind { Crop, Rotate, Mirror };
    Kind kind = Kind::Crop;
    // Crop: the rectangle kept, in pixels of the picture as it is at this step.
    std::uint32_t left = 0;
    std::uint32_t top = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int quarterTurns = 0; // Rotate: 1 to 3 quarter turns anticlockwise
    int axis = 0;         // Mirror: 0 flips top and bottom, 1 left and right
};

// What a picture carries besides its pixels.
struct PictureExtras
{
    std::vector<PictureOperation> operations; // in the order the item's ipma lists them
    std::vector<std::uint8_t> iccProfile;     // empty: none
    std::vector<std::uint8_t> exif;           // from the TIFF header on; empty: none
};

// The item's clean aperture (clap), rotation (irot) and mirror (imir) properties as operations on a picture
// of width x height, in ipma order. Each crop is worked out on the size the steps before it leave, rounded
// the way libheif does and cut at the picture's edges. A property too short for its fields, a fraction with
// a zero denominator or a value out of range, and a crop that keeps nothing fail: the picture cannot be
// shown as the file asks.
bool pictureOperations(const Container& container, const Item& item, std::uint32_t width,
                       std::uint32_t height, std::vector<PictureOperation>& operations, Failure& failure);

// The size of a picture of width x height once the operations are applied.
void shownSize(const std::vector<PictureOperation>& operations, std::uint32_t& width, std::uint32_t& height);

// The item's first ICC profile (colr of type prof or rICC); nclx colour descriptions carry no profile.
// Empty when there is none or it is larger than protocol::kMaxIccProfileBytes.
std::vector<std::uint8_t> iccProfile(const Container& container, const Item& item);

// The Exif block of the first Exif item that describes the item (a cdsc reference), from its TIFF header
// on. Empty when there is none, or when it cannot be read, is larger than protocol::kMaxExifBytes or does not
// start with a TIFF header: a picture is never refused for its metadata.
std::vector<std::uint8_t> exifBlock(Source& source, const Container& container, const Item& item);

// All three for the image of the planned size. A grid without a colour description of its own takes its
// first tile's profile, as phones that store the profile with the tiles only mean it; an overlay or identity
// its first input's, and so on down to a coded image.
bool pictureExtras(Source& source, const Container& container, const Item& image, std::uint32_t width,
                   std::uint32_t height, PictureExtras& extras, Failure& failure);

// The operations as text, one line each: "crop LEFT TOP WIDTH HEIGHT", "rotate TURNS", "mirror AXIS".
std::string operationsText(const std::vector<PictureOperation>& operations);

} // namespace heifsplit
