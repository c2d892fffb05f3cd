// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/picture/bmpwriter.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

#include "protocol/tilebmp.h"

namespace {

bool writeAll(int fd, const std::uint8_t* data, std::uint64_t size)
{
    while (size > 0) {
        const ssize_t written = write(fd, data, static_cast<size_t>(std::min<std::uint64_t>(size, 1 << 30)));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= static_cast<std::uint64_t>(written);
    }
    return true;
}

} // namespace

bool writeBmp32(const std::string& path, const std::uint8_t* pixels, int width, int height)
{
    if (width < 0 || height < 0)
        return false;
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return false;
    const auto header = protocol::tileBmpHeader(std::uint32_t(width), std::uint32_t(height));
    const std::uint64_t pixelBytes =
        static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * 4;
    bool ok = writeAll(fd, header.data(), header.size()) && writeAll(fd, pixels, pixelBytes);
    ok = close(fd) == 0 && ok;
    if (!ok)
        unlink(path.c_str());
    return ok;
}
