// SPDX-License-Identifier: GPL-3.0-or-later
#include "tiledecoder/fileio.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tiledecoder {

namespace {

std::string systemError(const std::string& what)
{
    return what + " (" + std::strerror(errno) + ")";
}

} // namespace

ReadResult readWholeFile(const std::string& path, std::size_t maxBytes)
{
    ReadResult result;
    // Non-blocking, so that opening a pipe with no writer does not wait for one.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!file.isOpen()) {
        result.error = systemError("cannot open the file");
        return result;
    }
    struct stat status = {};
    if (::fstat(file.get(), &status) != 0) {
        result.error = systemError("cannot examine the file");
        return result;
    }
    if (!S_ISREG(status.st_mode)) {
        result.error = "not a regular file";
        return result;
    }
    if (std::uint64_t(status.st_size) > maxBytes) {
        result.error = "too large for a tile";
        return result;
    }

    // Read to the end rather than trusting the size, which may change; one byte over the limit is enough
    // to know it is too large.
    result.bytes.resize(std::size_t(status.st_size) + 1);
    std::size_t filled = 0;
    for (;;) {
        if (filled == result.bytes.size()) {
            if (filled > maxBytes)
                break;
            result.bytes.resize(std::min(maxBytes + 1, filled * 2 + 4096));
        }
        const ssize_t got = ::read(file.get(), result.bytes.data() + filled, result.bytes.size() - filled);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            result.error = systemError("cannot read the file");
            result.bytes.clear();
            return result;
        }
        if (got == 0)
            break;
        filled += std::size_t(got);
    }
    if (filled > maxBytes) {
        result.error = "too large for a tile";
        result.bytes.clear();
        return result;
    }
    result.bytes.resize(filled);
    return result;
}

ReplacingFile::ReplacingFile(std::string path)
    : path(std::move(path))
    , temporaryPath(this->path + ".XXXXXX")
    , file(::mkstemp(temporaryPath.data()))
    , created(file.isOpen())
{
    if (!created)
        error_ = systemError("cannot create a file beside " + this->path);
}

ReplacingFile::~ReplacingFile()
{
    file.close();
    if (created && !committed)
        ::unlink(temporaryPath.c_str());
}

bool ReplacingFile::write(const std::uint8_t* data, std::size_t size)
{
    std::size_t written = 0;
    while (written < size && error_.empty()) {
        const ssize_t put = ::write(file.get(), data + written, size - written);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            error_ = systemError("cannot write " + temporaryPath);
        else
            written += std::size_t(put);
    }
    return error_.empty();
}

bool ReplacingFile::commit()
{
    // mkstemp makes the file private; give it the permissions any newly created file gets.
    if (error_.empty()) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        if (::fchmod(file.get(), 0666 & ~mask) != 0)
            error_ = systemError("cannot set the permissions of " + temporaryPath);
    }
    if (!file.close() && error_.empty())
        error_ = systemError("cannot write " + temporaryPath);
    if (error_.empty() && ::rename(temporaryPath.c_str(), path.c_str()) != 0)
        error_ = systemError("cannot rename " + temporaryPath + " to " + path);
    committed = error_.empty();
    return committed;
}

} // namespace tiledecoder
