// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the splitter's tile information file as the stitcher reads it, then the placement of
// every listed tile on the picture, with the stitcher's own size checks in front. Every area it hands out
// must lie on the canvas the stitcher allocates, and cells must never be counted twice.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string_view>

#include "engine/tiles/tileinfo.h"
#include "engine/tiles/tileplacement.h"
#include "engine/tiles/tilestitcher.h"
#include "protocol/protocol.h"

namespace {

// The decoded tiles' size is not in the file; take it from the input's first bytes so the fuzzer tries
// odd cells too (0 and negative included).
CellSize cellFrom(std::string_view& text)
{
    CellSize cell;
    if (text.size() >= 4) {
        cell.width = static_cast<std::int16_t>(static_cast<std::uint8_t>(text[0]) |
                                               static_cast<std::uint8_t>(text[1]) << 8);
        cell.height = static_cast<std::int16_t>(static_cast<std::uint8_t>(text[2]) |
                                                static_cast<std::uint8_t>(text[3]) << 8);
        text.remove_prefix(4);
    }
    return cell;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    const CellSize cell = cellFrom(text);
    const TileInfo info = parseTileInfo(text);

    if (info.width < 1 || info.height < 1 || info.width > protocol::kMaxConvertedSide ||
        info.height > protocol::kMaxConvertedSide)
        return 0;

    const std::int64_t needed = cellsNeeded(info, cell);
    if (needed < 0 || needed > static_cast<std::int64_t>(info.width) * info.height)
        std::abort();

    // The stitcher places the decoded tiles in ascending order, each number once.
    std::set<std::int64_t> numbers;
    for (const int id : info.tileIds)
        numbers.insert(id);
    std::int64_t covered = 0;
    for (const std::int64_t number : numbers) {
        const std::optional<TileRect> rect = placeTile(number, info, cell);
        if (!rect)
            continue;
        if (rect->x < 0 || rect->y < 0 || rect->width < 1 || rect->height < 1 ||
            static_cast<std::int64_t>(rect->x) + rect->width > info.width ||
            static_cast<std::int64_t>(rect->y) + rect->height > info.height || rect->width > cell.width ||
            rect->height > cell.height)
            std::abort();
        ++covered;
    }
    // The stitcher reports needed - covered missing cells as an int; it must never go negative.
    if (covered > needed || needed - covered > INT32_MAX)
        std::abort();
    return 0;
}
