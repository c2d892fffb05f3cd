// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include <sys/resource.h>

// Each tool caps its own address space at what the largest file it takes needs plus a margin, so that a
// fault that asks for more fails that one run rather than taking the machine's memory. The sanitizers reserve
// terabytes of address space for their shadow memory: their builds go without the cap.
namespace protocol {

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer) || __has_feature(thread_sanitizer)
#define VORNETTA_SANITIZER_BUILD 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define VORNETTA_SANITIZER_BUILD 1
#endif

// Caps the process's address space at bytes, never raising a lower cap it already has. False when it could
// not be set (the process then runs as before).
inline bool capAddressSpace(std::uint64_t bytes)
{
#ifdef VORNETTA_SANITIZER_BUILD
    static_cast<void>(bytes);
    return true;
#else
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) != 0)
        return false;
    if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur <= bytes)
        return true;
    limit.rlim_cur = bytes;
    return setrlimit(RLIMIT_AS, &limit) == 0;
#endif
}

} // namespace protocol
