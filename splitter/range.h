// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "splitter/failure.h"

namespace heifsplit {

// A reader bounded to one box held in memory. Every read checks what is left; running past the end sets
// the shared failure, which stays set, and from then on every read yields zero. A box's parse is therefore
// straight-line code followed by one check of the failure.
class Range final
{
public:
    Range(const std::uint8_t* data, std::size_t size, Failure& failure, std::string box = "file",
          int depth = 0);

    bool ok() const { return !failure_->failed(); }
    Failure& failure() const { return *failure_; }
    const std::string& box() const { return box_; }
    int depth() const { return depth_; }
    std::size_t remaining() const { return size_ - position_; }
    bool atEnd() const { return position_ >= size_; }

    std::uint8_t u8() { return static_cast<std::uint8_t>(uint(1)); }
    std::uint16_t u16() { return static_cast<std::uint16_t>(uint(2)); }
    std::uint32_t u32() { return static_cast<std::uint32_t>(uint(4)); }
    std::uint64_t u64() { return uint(8); }
    // A big-endian number of byteCount bytes (0 to 8; 0 reads nothing and gives 0).
    std::uint64_t uint(int byteCount);
    std::string fourcc();
    // A NUL-terminated string; a string that runs to the end of the box without its NUL is taken as it is.
    std::string string();
    // The next length bytes, or nullptr when they are not all there.
    const std::uint8_t* take(std::uint64_t length);
    void skip(std::uint64_t length) { take(length); }

    // Reads the next child box's header (32-bit, 64-bit or to-the-end size; uuid boxes' extended type) and
    // returns its body as a range one level deeper, checked against what is left of this one. On failure
    // the returned range is empty.
    Range nextBox(std::string& type);

    // Sets a failure that names this box.
    void fail(FailureKind kind, const std::string& what);

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
    Failure* failure_;
    std::string box_;
    int depth_;
};

// A four-character code as text that is safe to print: bytes outside printable ASCII become '?'.
std::string printable(const std::string& fourcc);

} // namespace heifsplit
