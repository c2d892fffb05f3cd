// SPDX-License-Identifier: GPL-3.0-or-later
#include "splitter/source.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include "splitter/limits.h"

namespace heifsplit {

bool Source::read(std::uint64_t offset, std::uint64_t length, std::vector<std::uint8_t>& out,
                  Failure& failure)
{
    if (failure.failed()) {
        return false;
    }
    if (offset > size() || length > size() - offset) {
        failure.set(FailureKind::Truncated, "data at offset " + std::to_string(offset) + " length " +
                                                std::to_string(length) + " lies past the end of the file");
        return false;
    }
    const std::size_t start = out.size();
    out.resize(start + static_cast<std::size_t>(length));
    if (length > 0 && !readRaw(offset, static_cast<std::size_t>(length), out.data() + start)) {
        out.resize(start);
        failure.set(FailureKind::Io, "cannot read the file at offset " + std::to_string(offset));
        return false;
    }
    return true;
}

bool MemorySource::readRaw(std::uint64_t offset, std::size_t length, std::uint8_t* out)
{
    std::memcpy(out, data_ + offset, length);
    return true;
}

FileSource::FileSource(const std::string& path, Failure& failure)
{
    // Only regular files: opening a pipe or a device could block or never end.
    struct stat status
    {};
    if (stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
        failure.set(FailureKind::Io, path + " is not a regular file");
        return;
    }
    file_.reset(std::fopen(path.c_str(), "rb"));
    if (!file_ || fstat(fileno(file_.get()), &status) != 0 || !S_ISREG(status.st_mode)) {
        failure.set(FailureKind::Io, "cannot open " + path + ": " + std::strerror(errno));
        file_.reset();
        return;
    }
    if (static_cast<std::uint64_t>(status.st_size) > kMaxFileSize) {
        failure.set(FailureKind::Limit, path + " is larger than " + std::to_string(kMaxFileSize) + " bytes");
        file_.reset();
        return;
    }
    size_ = static_cast<std::uint64_t>(status.st_size);
}

bool FileSource::readRaw(std::uint64_t offset, std::size_t length, std::uint8_t* out)
{
    if (!file_ || fseeko(file_.get(), static_cast<off_t>(offset), SEEK_SET) != 0) {
        return false;
    }
    return std::fread(out, 1, length, file_.get()) == length;
}

} // namespace heifsplit
