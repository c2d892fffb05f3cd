// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/picture/bmpwriter.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace {

void put16(std::uint8_t* at, std::uint16_t value)
{
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

void put32(std::uint8_t* at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

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

std::array<std::uint8_t, kBmpHeaderSize> bmpHeader(int width, int height)
{
    const std::uint32_t pixelBytes =
        static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(height) * 4u;
    std::array<std::uint8_t, kBmpHeaderSize> header{};
    header[0] = 'B';
    header[1] = 'M';
    put32(&header[2], kBmpHeaderSize + pixelBytes);
    put32(&header[10], kBmpHeaderSize);
    put32(&header[14], 40);
    put32(&header[18], static_cast<std::uint32_t>(width));
    put32(&header[22], static_cast<std::uint32_t>(-static_cast<std::int64_t>(height)));
    put16(&header[26], 1);
    put16(&header[28], 32);
    put32(&header[34], pixelBytes);
    return header;
}

bool writeBmp32(const std::string& path, const std::uint8_t* pixels, int width, int height)
{
    if (width < 0 || height < 0)
        return false;
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return false;
    const auto header = bmpHeader(width, height);
    const std::uint64_t pixelBytes =
        static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * 4;
    bool ok = writeAll(fd, header.data(), header.size()) && writeAll(fd, pixels, pixelBytes);
    ok = close(fd) == 0 && ok;
    if (!ok)
        unlink(path.c_str());
    return ok;
}
