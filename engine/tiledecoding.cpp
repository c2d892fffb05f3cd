#include "engine/tiledecoding.h"

#include <unordered_set>

#include <sys/stat.h>

namespace {

bool isFile(const std::string& path)
{
    struct stat info
    {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

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
    if (decoderMissing)
        *decoderMissing = false;
    std::unordered_set<int> seen;
    for (const int tileId : tileIds) {
        if (stop && stop())
            return false;
        if (!seen.insert(tileId).second)
            continue;
        const std::string tile = tileFilePath(workFolder, tileId);
        if (!isFile(tile))
            continue;
        const int result = runDecoder(tile, tilePicturePath(workFolder, tileId), stop);
        if (result == kToolStopped)
            return false;
        if (result == kToolNotStarted && decoderMissing)
            *decoderMissing = true;
    }
    return true;
}
