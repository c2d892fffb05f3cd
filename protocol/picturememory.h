// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

#include <sys/mman.h>

// Memory for a whole picture, in the engine and in the picture reader. Writing fresh memory faults once a
// page: a 12-megapixel picture is 11,800 pages of 4 KiB, some 100 ms of system time on a virtual machine.
// A mapping of its own that starts and ends at a 2 MiB boundary, advised as huge pages, faults once every
// 2 MiB instead (the kernel's transparent huge pages, in their "madvise" mode). Where the kernel has no huge
// page to give, or no such mode, the same memory comes in ordinary pages.
namespace protocol {

inline constexpr std::size_t kHugePageBytes = std::size_t(2) << 20;

// Below this a picture gains little, and a huge page could make its few touched pages 2 MiB.
inline constexpr std::size_t kSmallestHugePicture = kHugePageBytes;

// A mapping of at least bytes, zero-filled, its start and its length multiples of kHugePageBytes; data() is
// null when there is no memory for it.
class PictureMemory final
{
public:
    explicit PictureMemory(std::size_t bytes)
        : length((bytes + kHugePageBytes - 1) & ~(kHugePageBytes - 1))
    {
        if (bytes == 0 || length < bytes || length + kHugePageBytes < length)
            return;
        // Mapped a huge page longer, then cut to the boundaries: mmap itself promises only 4 KiB alignment.
        void* const mapped = ::mmap(nullptr, length + kHugePageBytes, PROT_READ | PROT_WRITE,
                                    MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapped == MAP_FAILED)
            return;
        const auto first = reinterpret_cast<std::uintptr_t>(mapped);
        const std::uintptr_t start = (first + kHugePageBytes - 1) & ~std::uintptr_t(kHugePageBytes - 1);
        if (start > first)
            ::munmap(mapped, start - first);
        if (const std::size_t after = kHugePageBytes - (start - first); after > 0)
            ::munmap(reinterpret_cast<void*>(start + length), after);
#ifdef MADV_HUGEPAGE
        // Advice only: a kernel that says no leaves ordinary pages.
        ::madvise(reinterpret_cast<void*>(start), length, MADV_HUGEPAGE);
#endif
        pixels = reinterpret_cast<std::uint8_t*>(start);
    }
    ~PictureMemory()
    {
        if (pixels)
            ::munmap(pixels, length);
    }
    PictureMemory(const PictureMemory&) = delete;
    PictureMemory& operator=(const PictureMemory&) = delete;

    std::uint8_t* data() const
    {
        return pixels;
    }
    std::size_t size() const
    {
        return length;
    }

private:
    std::size_t length;
    std::uint8_t* pixels = nullptr;
};

} // namespace protocol
