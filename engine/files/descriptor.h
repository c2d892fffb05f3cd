// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <memory>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include "protocol/tilebmp.h"

// A file descriptor that closes itself.
class Descriptor final
{
public:
    explicit Descriptor(int descriptor = -1)
        : descriptor(descriptor)
    {}
    ~Descriptor()
    {
        if (descriptor >= 0)
            ::close(descriptor);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    bool isOpen() const { return descriptor >= 0; }
    int get() const { return descriptor; }

private:
    const int descriptor;
};

// Reads exactly bytes at offset, whatever the file's position. False when the file ends first or a read
// fails.
inline bool readAt(int descriptor, void* into, std::size_t bytes, off_t offset)
{
    auto* at = static_cast<char*>(into);
    while (bytes > 0) {
        const ssize_t got = ::pread(descriptor, at, bytes, offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        at += got;
        bytes -= std::size_t(got);
        offset += got;
    }
    return true;
}

// The header of a tile BMP (protocol/tilebmp.h) in an open file, checked against the file's size; Other when
// the file is no regular file or has no header to read.
inline protocol::TileBmpCheck checkTileBmpFile(int descriptor)
{
    struct stat info = {};
    std::uint8_t header[protocol::kTileBmpHeaderBytes];
    if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode) ||
        !readAt(descriptor, header, sizeof header, 0))
        return {};
    return protocol::checkTileBmpHeader(header, std::uint64_t(info.st_size));
}

struct DirCloser
{
    void operator()(DIR* dir) const { closedir(dir); }
};
// A folder's listing; closing it closes its descriptor.
using Listing = std::unique_ptr<DIR, DirCloser>;

// The listing of an open folder. Takes over the descriptor, which is closed when no listing can be made.
inline Listing listingOf(int descriptor)
{
    if (descriptor < 0)
        return nullptr;
    Listing listing(fdopendir(descriptor));
    if (!listing)
        ::close(descriptor);
    return listing;
}
