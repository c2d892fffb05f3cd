// SPDX-License-Identifier: GPL-3.0-or-later
#include "splitter/alpha.h"

#include <algorithm>
#include <string>

#include "splitter/range.h"
#include "splitter/tiles.h"

namespace heifsplit {

namespace {

// The two names an auxC gives an alpha plane: HEVC's and the one of MPEG's systems code points.
bool namesAlpha(const Property& auxC)
{
    Failure ignored; // a damaged auxC names nothing
    Range range(auxC.body.data(), auxC.body.size(), ignored, "auxC", 2);
    range.u32(); // version and flags
    const std::string type = range.string();
    return range.ok() &&
           (type == "urn:mpeg:hevc:2015:auxid:1" || type == "urn:mpeg:mpegB:cicp:systems:auxiliary:alpha");
}

} // namespace

bool findAlpha(const Container& container, const Item& image, Alpha& alpha, Failure& failure)
{
    alpha = Alpha();
    for (const std::uint32_t id : container.referencesTo(image.id, "auxl")) {
        // A reference from an item nobody declares says nothing about it.
        const Item* auxiliary = container.item(id);
        const Property* auxC = auxiliary ? container.property(*auxiliary, "auxC") : nullptr;
        if (!auxC || !namesAlpha(*auxC)) {
            continue;
        }
        if (auxiliary->id == image.id) {
            failure.set(FailureKind::Malformed,
                        "item " + std::to_string(image.id) + " is its own alpha plane");
            return false;
        }
        alpha.image = auxiliary;
        for (const Reference* prem : container.referencesFrom(image.id, "prem")) {
            alpha.premultiplied =
                alpha.premultiplied || std::find(prem->to.begin(), prem->to.end(), id) != prem->to.end();
        }
        return true;
    }
    return true;
}

std::uint64_t pixelsWithAlpha(Source& source, const Container& container, const Item& image)
{
    Failure ignored;
    Alpha alpha;
    const std::uint64_t pixels = tilePixels(source, container, image);
    if (pixels == 0 || !findAlpha(container, image, alpha, ignored)) {
        return 0;
    }
    if (!alpha.image) {
        return pixels;
    }
    // An alpha plane that decodes more than its picture is refused when the picture is taken apart.
    const std::uint64_t alphaPixels = tilePixels(source, container, *alpha.image);
    return alphaPixels == 0 || alphaPixels > pixels ? 0 : pixels + alphaPixels;
}

} // namespace heifsplit
