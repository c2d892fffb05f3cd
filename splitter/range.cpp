// SPDX-License-Identifier: GPL-3.0-or-later
#include "splitter/range.h"

#include "splitter/limits.h"

namespace heifsplit {

Range::Range(const std::uint8_t* data, std::size_t size, Failure& failure, std::string box, int depth)
    : data_(data)
    , size_(data ? size : 0)
    , failure_(&failure)
    , box_(std::move(box))
    , depth_(depth)
{
    if (depth_ > kMaxNestingDepth) {
        fail(FailureKind::Limit, "nests deeper than " + std::to_string(kMaxNestingDepth) + " boxes");
    }
}

void Range::fail(FailureKind kind, const std::string& what)
{
    failure_->set(kind, "box '" + printable(box_) + "' " + what);
    position_ = size_;
}

const std::uint8_t* Range::take(std::uint64_t length)
{
    if (!ok()) {
        return nullptr;
    }
    if (length > remaining()) {
        fail(FailureKind::Truncated, "ends early");
        return nullptr;
    }
    const std::uint8_t* at = data_ + position_;
    position_ += static_cast<std::size_t>(length);
    return at;
}

std::uint64_t Range::uint(int byteCount)
{
    if (byteCount < 0 || byteCount > 8) {
        fail(FailureKind::Malformed, "has a field of " + std::to_string(byteCount) + " bytes");
        return 0;
    }
    const std::uint8_t* bytes = take(static_cast<std::uint64_t>(byteCount));
    if (!bytes) {
        return 0;
    }
    std::uint64_t value = 0;
    for (int i = 0; i < byteCount; ++i) {
        value = (value << 8) | bytes[i];
    }
    return value;
}

std::string Range::fourcc()
{
    const std::uint8_t* bytes = take(4);
    return bytes ? std::string(reinterpret_cast<const char*>(bytes), 4) : std::string();
}

std::string Range::string()
{
    std::string text;
    while (ok() && !atEnd()) {
        const char c = static_cast<char>(data_[position_++]);
        if (c == '\0') {
            break;
        }
        text.push_back(c);
    }
    return text;
}

Range Range::nextBox(std::string& type)
{
    const std::size_t start = position_;
    std::uint64_t size = u32();
    type = fourcc();
    if (size == 1) {
        size = u64();
    } else if (size == 0) {
        size = size_ - start; // to the end of the enclosing box or the file
    }
    if (ok() && type == "uuid") {
        skip(16);
    }
    const std::size_t header = position_ - start;
    if (ok() && (size < header || size - header > remaining())) {
        fail(size < header ? FailureKind::Malformed : FailureKind::Truncated,
             "holds a box '" + printable(type) + "' of " + std::to_string(size) + " bytes that " +
                 (size < header ? "is smaller than its header" : "runs past its end"));
    }
    if (!ok()) {
        return Range(nullptr, 0, *failure_, type, depth_ + 1);
    }
    const std::size_t bodySize = static_cast<std::size_t>(size - header);
    const std::uint8_t* body = take(bodySize);
    return Range(body, bodySize, *failure_, type, depth_ + 1);
}

std::string printable(const std::string& fourcc)
{
    std::string text;
    for (const char c : fourcc) {
        text.push_back(c >= 0x20 && c < 0x7f ? c : '?');
    }
    return text;
}

} // namespace heifsplit
