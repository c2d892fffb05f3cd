// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/process/tiledecoding.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>
#include <unordered_set>

#include <sys/stat.h>

#include "engine/process/decoderslots.h"
#include "protocol/protocol.h"

namespace {

using namespace std::chrono_literals;

// How often the caller's stop check is asked while decoders run; each decoder then sees the stop within
// the tool runner's own wait slice, so a stop takes effect well within a second.
constexpr std::chrono::milliseconds kStopPollInterval = 20ms;

bool isFile(const std::string& path)
{
    struct stat info
    {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The tile numbers to decode: each once, in list order, only those the splitter wrote.
std::vector<int> tilesToDecode(const std::string& workFolder, const std::vector<int>& tileIds,
                               const TileSet& set)
{
    std::vector<int> tiles;
    std::unordered_set<int> seen;
    for (const int tileId : tileIds) {
        if (seen.insert(tileId).second && isFile(tileFilePath(workFolder, tileId, set)))
            tiles.push_back(tileId);
    }
    return tiles;
}

TileDecoding decodeOneAfterAnother(const std::string& workFolder, const std::vector<int>& tiles,
                                   const TileSet& set, DecoderQueue& queue, const StopCheck& stop,
                                   const TileDecoded& decoded)
{
    TileDecoding result;
    for (const int tileId : tiles) {
        const DecoderQueue::Slot slot(queue, stop);
        if (!slot.held() || (stop && stop())) {
            result.end = TileDecoding::End::Stopped;
            break;
        }
        const ToolEnd ran = runDecoder(tileFilePath(workFolder, tileId, set),
                                       tilePicturePath(workFolder, tileId, set), stop, set.deep)
                                .end;
        if (ran == ToolEnd::Stopped) {
            result.end = TileDecoding::End::Stopped;
            break;
        }
        if (ran == ToolEnd::NotStarted)
            result.decoderMissing = true;
        if (ran == ToolEnd::Ended && decoded && !decoded(tileId)) {
            result.end = TileDecoding::End::Refused;
            break;
        }
    }
    return result;
}

// Decoders on worker threads that take the next tile in list order until none is left. The caller's
// stop check and tile callback are only ever called on the caller's thread; the workers hand it the
// tiles that ended through a queue and see a stop through one flag.
class ParallelDecoding final
{
public:
    ParallelDecoding(const std::string& workFolder, const std::vector<int>& tiles, const TileSet& set,
                     DecoderQueue& queue)
        : workFolder(workFolder)
        , tiles(tiles)
        , set(set)
        , queue(queue)
    {}
    ParallelDecoding(const ParallelDecoding&) = delete;
    ParallelDecoding& operator=(const ParallelDecoding&) = delete;
    ~ParallelDecoding()
    {
        stopped = true;
        for (std::thread& worker : workers)
            worker.join();
    }

    // Starts up to count workers; how many did start.
    size_t start(size_t count)
    {
        try {
            while (workers.size() < count)
                workers.emplace_back([this] { work(); });
        } catch (const std::system_error&) {
            // No more threads to be had: the ones that started do all the work.
        }
        return workers.size();
    }

    // Hands each tile that ended to decoded until every worker has ended, or until the stop check or the
    // callback says no.
    TileDecoding finish(const StopCheck& stop, const TileDecoded& decoded)
    {
        TileDecoding result;
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            const bool woken = changed.wait_for(
                lock, kStopPollInterval, [this] { return !ended.empty() || endedWorkers == workers.size(); });
            if (stop && stop()) {
                result.end = TileDecoding::End::Stopped;
                break;
            }
            if (!woken)
                continue;
            if (ended.empty())
                break;
            const int tileId = ended.front();
            ended.pop_front();
            lock.unlock();
            const bool accepted = !decoded || decoded(tileId);
            lock.lock();
            if (!accepted) {
                result.end = TileDecoding::End::Refused;
                break;
            }
        }
        if (result.end != TileDecoding::End::Done)
            stopped = true;
        result.decoderMissing = notStarted;
        return result;
    }

private:
    void work()
    {
        const StopCheck sawStop = [this] { return stopped.load(); };
        for (;;) {
            const size_t index = nextTile++;
            if (index >= tiles.size() || stopped)
                break;
            const int tileId = tiles[index];
            try {
                const DecoderQueue::Slot slot(queue, sawStop);
                if (!slot.held())
                    break;
                const ToolEnd ran = runDecoder(tileFilePath(workFolder, tileId, set),
                                               tilePicturePath(workFolder, tileId, set), sawStop, set.deep)
                                        .end;
                if (ran == ToolEnd::NotStarted)
                    notStarted = true;
                if (ran == ToolEnd::Ended) {
                    const std::lock_guard<std::mutex> lock(mutex);
                    ended.push_back(tileId);
                    changed.notify_all();
                }
            } catch (const std::exception&) {
                // Out of memory for a path: that tile stays undecoded, as when its decoder fails.
            }
        }
        const std::lock_guard<std::mutex> lock(mutex);
        ++endedWorkers;
        changed.notify_all();
    }

    const std::string& workFolder;
    const std::vector<int>& tiles;
    const TileSet& set;
    DecoderQueue& queue;
    std::atomic<size_t> nextTile{0};
    std::atomic<bool> stopped{false};
    std::atomic<bool> notStarted{false};
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<int> ended; // tiles whose decoder ended, not yet handed on
    size_t endedWorkers = 0;
    std::vector<std::thread> workers;
};

} // namespace

std::string tileFilePath(const std::string& workFolder, long long tileNumber, const TileSet& set)
{
    return workFolder + "/" + set.tilePrefix + std::to_string(tileNumber);
}

std::string tilePicturePath(const std::string& workFolder, long long tileNumber, const TileSet& set)
{
    return workFolder + "/" + set.decodedPrefix + std::to_string(tileNumber) +
           (set.deep ? protocol::kDecodedDeepTileSuffix : protocol::kDecodedTileSuffix);
}

TileDecoding decodeTiles(const std::string& workFolder, const std::vector<int>& tileIds,
                         const StopCheck& stop, const TileDecoded& decoded, const TileSet& set)
{
    if (stop && stop())
        return TileDecoding{TileDecoding::End::Stopped, false};
    const std::vector<int> tiles = tilesToDecode(workFolder, tileIds, set);
    const size_t count = std::min(static_cast<size_t>(tileDecoderCount()), tiles.size());
    DecoderQueue queue(tiles.size());
    if (count > 1) {
        ParallelDecoding decoding(workFolder, tiles, set, queue);
        if (decoding.start(count) > 0)
            return decoding.finish(stop, decoded);
    }
    return decodeOneAfterAnother(workFolder, tiles, set, queue, stop, decoded);
}
