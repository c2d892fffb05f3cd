// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "splitter/failure.h"

namespace heifsplit {

// Where the bytes of a file come from. Every read names its position and length and is checked against
// the end of the file before it happens.
class Source
{
public:
    virtual ~Source() = default;
    virtual std::uint64_t size() const = 0;
    // Appends length bytes from offset to out; false (and failure set) when they are not all there.
    bool read(std::uint64_t offset, std::uint64_t length, std::vector<std::uint8_t>& out, Failure& failure);

protected:
    // Reads exactly length bytes, already checked to lie inside the file.
    virtual bool readRaw(std::uint64_t offset, std::size_t length, std::uint8_t* out) = 0;
};

class MemorySource final : public Source
{
public:
    MemorySource(const std::uint8_t* data, std::size_t size)
        : data_(data)
        , size_(size)
    {}
    std::uint64_t size() const override { return size_; }

protected:
    bool readRaw(std::uint64_t offset, std::size_t length, std::uint8_t* out) override;

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

class FileSource final : public Source
{
public:
    // Opens path; on failure failure is set and the source is empty.
    FileSource(const std::string& path, Failure& failure);
    std::uint64_t size() const override { return size_; }

protected:
    bool readRaw(std::uint64_t offset, std::size_t length, std::uint8_t* out) override;

private:
    struct Closer
    {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, Closer> file_;
    std::uint64_t size_ = 0;
};

} // namespace heifsplit
