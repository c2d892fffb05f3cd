// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/process/decoderslots.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>

#include <QThread>

namespace {

using namespace std::chrono_literals;

// How often a waiting decoder asks whether it should stop.
constexpr std::chrono::milliseconds kStopPollInterval = 20ms;

std::atomic<int> decoderCountSetting{0};

std::mutex queueMutex;
std::condition_variable slotFreed;
int slotsInUse = 0;
std::uint64_t lastTicket = 0;
// The conversions in the queue by ticket, oldest first, with the tiles each has still to start.
std::map<std::uint64_t, std::size_t> tilesToStart;

} // namespace

int tileDecoderCount()
{
    const int count = decoderCountSetting.load();
    return count > 0 ? count : std::max(QThread::idealThreadCount(), 1);
}

void setTileDecoderCount(int count)
{
    decoderCountSetting.store(std::max(count, 0));
}

DecoderQueue::DecoderQueue(std::size_t tiles)
    : ticket([tiles] {
        const std::lock_guard<std::mutex> lock(queueMutex);
        tilesToStart[++lastTicket] = tiles;
        return lastTicket;
    }())
{}

DecoderQueue::~DecoderQueue()
{
    const std::lock_guard<std::mutex> lock(queueMutex);
    tilesToStart.erase(ticket);
    slotFreed.notify_all();
}

DecoderQueue::Slot::Slot(DecoderQueue& queue, const std::function<bool()>& stopped)
{
    std::unique_lock<std::mutex> lock(queueMutex);
    const auto ownTurn = [&queue] {
        return !tilesToStart.empty() && tilesToStart.begin()->first == queue.ticket &&
               slotsInUse < tileDecoderCount();
    };
    while (!ownTurn()) {
        if (stopped && stopped())
            return;
        slotFreed.wait_for(lock, kStopPollInterval);
    }
    ++slotsInUse;
    holding = true;
    // With no tile left to start, the conversion steps aside for the next one.
    auto own = tilesToStart.begin();
    if (own->second <= 1)
        tilesToStart.erase(own);
    else
        --own->second;
}

DecoderQueue::Slot::~Slot()
{
    if (!holding)
        return;
    const std::lock_guard<std::mutex> lock(queueMutex);
    --slotsInUse;
    slotFreed.notify_all();
}
