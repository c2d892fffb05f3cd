// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

// How many tile decoders this process runs at once, shared by all its conversions:
// QThread::idealThreadCount() unless set. Setting 0 restores that default; 1 decodes one tile after another
// on the calling thread (tiledecoding.h).
int tileDecoderCount();
void setTileDecoderCount(int count);

// The tile decoders this process runs at once, shared by all its conversions: at most tileDecoderCount(). The
// conversion that began decoding first gets a free slot first, for as long as it has tiles to start, so that
// with several files in flight the oldest finishes decoding first and is encoded while the next one decodes.
class DecoderQueue final
{
public:
    // Joins the queue with this many tiles to decode; leaves it when it goes, whatever was decoded.
    explicit DecoderQueue(std::size_t tiles);
    ~DecoderQueue();
    DecoderQueue(const DecoderQueue&) = delete;
    DecoderQueue& operator=(const DecoderQueue&) = delete;

    // One running decoder: its slot goes back when it goes.
    class Slot final
    {
    public:
        // Waits for this conversion's turn and a free slot. Not held() when stopped() said so first.
        Slot(DecoderQueue& queue, const std::function<bool()>& stopped);
        ~Slot();
        Slot(const Slot&) = delete;
        Slot& operator=(const Slot&) = delete;
        bool held() const { return holding; }

    private:
        bool holding = false;
    };

private:
    const std::uint64_t ticket;
};
