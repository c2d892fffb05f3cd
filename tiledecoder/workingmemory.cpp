// SPDX-License-Identifier: GPL-3.0-or-later
#include "tiledecoder/workingmemory.h"

#include <algorithm>
#include <cstdlib>
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include "tiledecoder/limits.h"

namespace tiledecoder {

namespace {

constexpr std::uintptr_t kPageBytes = 4096;

} // namespace

std::uint64_t decodingWorkingSet(const hevc::SequenceHeader& sequence)
{
    const std::uint64_t lumaSamples = std::uint64_t(sequence.codedWidth) * sequence.codedHeight;
    const std::uint64_t chromaSamples = sequence.chromaFormat == 0   ? 0
                                        : sequence.chromaFormat == 1 ? lumaSamples / 2
                                        : sequence.chromaFormat == 2 ? lumaSamples
                                                                     : 2 * lumaSamples;
    const std::uint64_t lumaBytes = lumaSamples * (sequence.bitDepthLuma > 8 ? 2 : 1);
    const std::uint64_t chromaBytes = chromaSamples * (sequence.bitDepthChroma > 8 ? 2 : 1);
    // The metadata: motion, deblocking, transform and prediction records for every 4 x 4 block, some
    // 20 bytes each.
    const std::uint64_t metadataBytes = lumaSamples / 16 * 20;
    return lumaBytes + chromaBytes + std::max(lumaBytes, chromaBytes / 2) + metadataBytes;
}

void prepareHeap(std::uint64_t bytes)
{
#if defined(__GLIBC__) && defined(MADV_POPULATE_WRITE)
    // The next growth of the heap takes bytes more than it needs: one allocation larger than the free
    // space at its top makes it grow now, and given back, the space joins that top.
    if (mallopt(M_TOP_PAD, int(std::min(bytes, kMaxPreparedHeapBytes))) == 0)
        return;
    void* grow = std::malloc(mallinfo2().keepcost + 1);
    std::free(grow);
    mallopt(M_TOP_PAD, 128 * 1024);
    if (!grow)
        return;
    // The free space at the top ends where the heap does.
    const auto end = reinterpret_cast<std::uintptr_t>(sbrk(0));
    const std::uintptr_t start = (end - mallinfo2().keepcost + kPageBytes - 1) & ~(kPageBytes - 1);
    if (start < end)
        madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE);
#else
    (void)bytes;
#endif
}

} // namespace tiledecoder
