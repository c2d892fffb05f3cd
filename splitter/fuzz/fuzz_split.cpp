// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the whole split of a file held in memory, with the output checked and thrown away; then
// the list of its images with the pixels of each and the split of the second one, as `heic --list` and
// `heic --item` do them.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unordered_set>
#include <vector>

#include "protocol/protocol.h"
#include "splitter/container.h"
#include "splitter/images.h"
#include "splitter/limits.h"
#include "splitter/source.h"
#include "splitter/split.h"

namespace {

class CheckingSink final : public heifsplit::TileSink
{
public:
    explicit CheckingSink(std::size_t inputSize)
        : inputSize_(inputSize)
    {}

    bool writeTile(std::uint32_t number, const std::vector<std::uint8_t>& stream,
                   heifsplit::Failure&) override
    {
        // Colour tiles come first, numbered from 1 without gaps.
        if (number != ++tiles_ || alphaTiles_ > 0 || transformWritten_) {
            std::abort();
        }
        count(stream.size());
        return true;
    }

    bool writeSideFile(const std::string& name, const std::vector<std::uint8_t>& data,
                       heifsplit::Failure&) override
    {
        // Alpha tiles follow the colour tiles, numbered from 1 without gaps.
        if (name == protocol::kAlphaTilePrefix + std::to_string(alphaTiles_ + 1)) {
            if (tiles_ == 0 || transformWritten_) {
                std::abort();
            }
            ++alphaTiles_;
            count(data.size());
            return true;
        }
        // Then the transform text, always, and the rest; metadata never exceeds its limits, and what belongs
        // to tiles or an alpha plane comes only with them.
        const bool transform = name == protocol::kTransformFile;
        const bool icc = name == protocol::kIccProfileFile;
        const bool exif = name == protocol::kExifFile;
        const bool depth = name == protocol::kDepthFile;
        const bool alphaInfo = name == protocol::kAlphaInfoFile;
        const bool premultiplied = name == protocol::kPremultipliedFile;
        if (transform == transformWritten_ || (transform && data.size() > protocol::kMaxTransformFileBytes) ||
            (icc && (data.empty() || data.size() > protocol::kMaxIccProfileBytes)) ||
            (exif && (data.size() < 8 || data.size() > protocol::kMaxExifBytes)) ||
            (depth && (tiles_ == 0 || data.empty() || data.size() > protocol::kMaxDepthFileBytes)) ||
            ((alphaInfo || premultiplied) && alphaTiles_ == 0) || (premultiplied && !data.empty()) ||
            (!transform && !icc && !exif && !depth && !alphaInfo && !premultiplied)) {
            std::abort();
        }
        transformWritten_ = true;
        return true;
    }

    bool writeInfo(const std::string& name, const std::string& text, heifsplit::Failure&) override
    {
        // The information after tiles, or a derived picture's description in their place, within its bound.
        const bool derived = name == protocol::kDerivedFile;
        if (text.empty() || text.back() != '\n' || !transformWritten_ || derived != (tiles_ == 0) ||
            (!derived && name != protocol::kTileInfoFile) ||
            (derived && text.size() > protocol::kMaxDerivedFileBytes)) {
            std::abort();
        }
        return true;
    }

private:
    std::size_t inputSize_;
    std::uint32_t tiles_ = 0;
    std::uint32_t alphaTiles_ = 0;
    std::uint64_t written_ = 0;
    bool transformWritten_ = false;

    // Tiles never multiply the input without bound.
    void count(std::size_t bytes)
    {
        written_ += bytes;
        if (written_ > 3 * inputSize_ + 64ull * 1024 * 1024 + 64) {
            std::abort();
        }
    }
};

// Success and failure exclude each other, and every failure says why; a picture of a kind not converted
// names it in a line that fits its file.
void checkOutcome(bool done, const heifsplit::Failure& failure)
{
    if (done == failure.failed() || (failure.failed() && failure.reason().empty())) {
        std::abort();
    }
    const std::string& kind = failure.pictureKind();
    if ((failure.kind() == heifsplit::FailureKind::PictureKind) == kind.empty() ||
        kind.size() >= protocol::kMaxPictureKindFileBytes ||
        std::any_of(kind.begin(), kind.end(), [](char c) { return c < 0x20 || c > 0x7e; })) {
        std::abort();
    }
}

// The primary comes first, and no image is listed twice.
void checkList(const heifsplit::Container& container, const std::vector<std::uint32_t>& ids)
{
    const std::unordered_set<std::uint32_t> distinct(ids.begin(), ids.end());
    if (ids.empty() || ids.front() != container.primaryItem || distinct.size() != ids.size() ||
        ids.size() > heifsplit::kMaxItems) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    heifsplit::MemorySource source(data, size);
    CheckingSink sink(size);
    heifsplit::Failure failure;
    checkOutcome(heifsplit::split(source, sink, failure), failure);

    heifsplit::Failure listFailure;
    heifsplit::Container container;
    std::vector<std::uint32_t> ids;
    if (!heifsplit::parseContainer(source, container, listFailure)) {
        return 0;
    }
    const bool listed = heifsplit::topLevelImages(container, ids, listFailure);
    checkOutcome(listed, listFailure);
    if (listed) {
        checkList(container, ids);
    }
    // What `heic --list` prints beside each image.
    for (const std::uint32_t id : ids) {
        heifsplit::decodedPixels(source, container, *container.item(id));
    }
    if (ids.size() > 1) {
        CheckingSink other(size);
        heifsplit::Failure otherFailure;
        checkOutcome(heifsplit::split(source, other, otherFailure, ids[1]), otherFailure);
    }
    return 0;
}
