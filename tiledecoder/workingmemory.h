// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "bitstream/sequenceheader.h"

// The heap memory a tile's decoding touches, faulted in before the decoder runs. The process lives for one
// tile, and on a virtual machine every first touch of a 4 KiB page is a fault that costs microseconds: the
// decoder's planes, its block metadata and its filters' copies of a 512 x 512 tile take some 240 of them.
// One call that fills those pages in at once costs a fraction of that, and leaves the memory in the heap,
// where the decoder's allocations then find it.
namespace tiledecoder {

// The bytes decoding a picture the sequence header declares touches on the heap, at most: its planes, the
// copy of the largest plane the sample-adaptive offset filter makes, and the decoder's block metadata.
std::uint64_t decodingWorkingSet(const hevc::SequenceHeader& sequence);

// Grows the heap by bytes and faults them in with one call (MADV_POPULATE_WRITE). Nothing happens where the
// kernel or the C library cannot do it: the pages are then faulted one by one, as they would have been.
void prepareHeap(std::uint64_t bytes);

} // namespace tiledecoder
