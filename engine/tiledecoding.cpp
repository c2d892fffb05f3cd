#include "engine/tiledecoding.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <unordered_set>

#include <QThread>

#include <sys/stat.h>

namespace {

using namespace std::chrono_literals;

// How often the caller's stop check is asked while decoders run; each decoder then sees the stop within
// the tool runner's own wait slice, so a stop takes effect well within a second.
constexpr std::chrono::milliseconds kStopPollInterval = 20ms;

std::atomic<int> decoderCountSetting{0};

bool isFile(const std::string& path)
{
    struct stat info
    {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The tile numbers to decode: each once, in list order, only those the splitter wrote.
std::vector<int> tilesToDecode(const std::string& workFolder, const std::vector<int>& tileIds)
{
    std::vector<int> tiles;
    std::unordered_set<int> seen;
    for (const int tileId : tileIds) {
        if (seen.insert(tileId).second && isFile(tileFilePath(workFolder, tileId)))
            tiles.push_back(tileId);
    }
    return tiles;
}

bool decodeOneAfterAnother(const std::string& workFolder, const std::vector<int>& tiles,
                           const StopCheck& stop, bool* decoderMissing)
{
    for (const int tileId : tiles) {
        if (stop && stop())
            return false;
        const int result =
            runDecoder(tileFilePath(workFolder, tileId), tilePicturePath(workFolder, tileId), stop);
        if (result == kToolStopped)
            return false;
        if (result == kToolNotStarted)
            *decoderMissing = true;
    }
    return true;
}

// Decoders on worker threads that take the next tile in list order until none is left. The caller's
// stop check is only ever asked on the caller's thread; the workers see its answer through one flag.
class ParallelDecoding final
{
public:
    ParallelDecoding(const std::string& workFolder, const std::vector<int>& tiles, bool* decoderMissing)
        : workFolder(workFolder)
        , tiles(tiles)
        , decoderMissing(decoderMissing)
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

    // Waits until every worker has ended; false when the stop check said so first.
    bool finish(const StopCheck& stop)
    {
        std::unique_lock<std::mutex> lock(mutex);
        while (
            !allEnded.wait_for(lock, kStopPollInterval, [this] { return endedWorkers == workers.size(); })) {
            if (stop && stop()) {
                stopped = true;
                return false;
            }
        }
        if (notStarted)
            *decoderMissing = true;
        return !stopped;
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
                if (runDecoder(tileFilePath(workFolder, tileId), tilePicturePath(workFolder, tileId),
                               sawStop) == kToolNotStarted)
                    notStarted = true;
            } catch (const std::exception&) {
                // Out of memory for a path: that tile stays undecoded, as when its decoder fails.
            }
        }
        const std::lock_guard<std::mutex> lock(mutex);
        ++endedWorkers;
        allEnded.notify_all();
    }

    const std::string& workFolder;
    const std::vector<int>& tiles;
    std::atomic<size_t> nextTile{0};
    std::atomic<bool> stopped{false};
    std::atomic<bool> notStarted{false};
    bool* decoderMissing;
    std::mutex mutex;
    std::condition_variable allEnded;
    size_t endedWorkers = 0;
    std::vector<std::thread> workers;
};

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

std::string tileFilePath(const std::string& workFolder, long long tileNumber)
{
    return workFolder + "/hevc/hevc" + std::to_string(tileNumber);
}

std::string tilePicturePath(const std::string& workFolder, long long tileNumber)
{
    return workFolder + "/jpeg/jpeg" + std::to_string(tileNumber) + ".bmp";
}

bool decodeTiles(const std::string& workFolder, const std::vector<int>& tileIds, const StopCheck& stop,
                 bool* decoderMissing)
{
    bool missing = false;
    if (decoderMissing)
        *decoderMissing = false;
    if (stop && stop())
        return false;
    const std::vector<int> tiles = tilesToDecode(workFolder, tileIds);
    const size_t count = std::min(static_cast<size_t>(tileDecoderCount()), tiles.size());
    bool ended = true;
    if (count <= 1) {
        ended = decodeOneAfterAnother(workFolder, tiles, stop, &missing);
    } else {
        ParallelDecoding decoding(workFolder, tiles, &missing);
        ended = decoding.start(count) == 0 ? decodeOneAfterAnother(workFolder, tiles, stop, &missing)
                                           : decoding.finish(stop);
    }
    if (decoderMissing)
        *decoderMissing = missing;
    return ended;
}
