// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/tiles/tilestitcher.h"

#include <algorithm>
#include <unordered_set>
#include <vector>

#include <QFileInfo>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include "engine/picture/alphaplane.h"
#include "engine/picture/bmpwriter.h"
#include "engine/picture/pictureextras.h"
#include "engine/process/tiledecoding.h"
#include "engine/process/toolfailure.h"
#include "engine/tiles/tilecanvas.h"
#include "engine/tiles/tileinfo.h"
#include "protocol/protocol.h"

namespace {

// The stitcher's failures in the user's words; a splitter that failed as a run says how in its own.
StepResult statusOf(StitchFailure failure)
{
    switch (failure) {
    case StitchFailure::None:
    case StitchFailure::Splitter:
        break;
    case StitchFailure::DecoderNotStarted:
        return toolNotStarted(Tool::TileDecoder);
    case StitchFailure::NoPicture:
    case StitchFailure::BadTiles:
        return StepResult::damaged();
    case StitchFailure::TooLarge:
        return StepResult::tooLarge();
    case StitchFailure::OutOfMemory:
        return StepResult::outOfMemory();
    case StitchFailure::Stopped:
        return StepResult::stopped();
    case StitchFailure::CannotWrite:
        return StepResult::workFolderUnwritable();
    }
    return {};
}

StitchResult giveUp(StitchFailure reason, const StepResult& status)
{
    StitchResult result;
    result.failure = reason;
    result.status = status;
    return result;
}

StitchResult giveUp(StitchFailure reason)
{
    return giveUp(reason, statusOf(reason));
}

// The listed tile numbers, each once, at most as many as the grid has cells: no list can make the
// decoders produce more tiles than the picture needs.
std::vector<int> tilesWanted(const TileInfo& info)
{
    const std::int64_t cells = std::int64_t(std::max(info.rows, 0)) * std::max(info.cols, 0);
    std::vector<int> wanted;
    std::unordered_set<int> seen;
    for (const int tileId : info.tileIds) {
        if (std::int64_t(wanted.size()) >= cells)
            break;
        if (seen.insert(tileId).second)
            wanted.push_back(tileId);
    }
    return wanted;
}

// Everything the decoders wrote, finished or not: a refused file leaves no decoded picture behind.
void removeDecodedTiles(const std::string& workFolder)
{
    const int folder = open((workFolder + "/" + protocol::kDecodedTileFolder).c_str(),
                            O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folder < 0)
        return;
    if (DIR* dir = fdopendir(folder)) {
        while (const dirent* entry = readdir(dir)) {
            if (entry->d_type != DT_DIR)
                unlinkat(folder, entry->d_name, 0);
        }
        closedir(dir);
    } else {
        close(folder);
    }
}

// A stitched picture written to its BMP, gaps and all, then made what reading the BMP back gives.
StitchResult writtenToBmp(StitchResult result, const std::string& bmpPath)
{
    if (result.failure != StitchFailure::None)
        return result;
    if (!writeBmp32(bmpPath, result.picture.constBits(), result.picture.width(), result.picture.height()))
        return giveUp(StitchFailure::CannotWrite);
    makeOpaque(result.picture);
    return result;
}

StitchResult stitchPlane(const std::string& workFolder, const char* infoFile, const TileSet& set,
                         const StopCheck& stop);

} // namespace

StepResult splitImage(const std::string& input, const std::string& workFolder, const StopCheck& stop,
                      std::uint32_t item)
{
    const std::string prefix = workFolder + "/" + protocol::kSplitterPrefix;
    const ToolRun split = runSplitter(input, prefix, stop, item);
    const StepResult ran = toolRunFailure(split, Tool::Splitter);
    if (!ran.ok())
        return ran;
    if (split.exitStatus == protocol::kSplitCannotWrite)
        return StepResult::workFolderUnwritable();
    if (split.exitStatus == protocol::kSplitPictureKind) {
        const QString kind = readPictureKind(QString::fromStdString(prefix));
        return StepResult::failed(FailureKind::Picture,
                                  kind.isEmpty() ? QStringLiteral("picture kind not supported")
                                                 : QStringLiteral("picture kind not supported: ") + kind);
    }
    if (split.exitStatus != protocol::kSplitDone)
        return StepResult::damaged();
    return {};
}

StitchResult splitAndStitch(const std::string& input, const std::string& workFolder, const StopCheck& stop,
                            std::uint32_t item)
{
    const StepResult split = splitImage(input, workFolder, stop, item);
    return split.ok() ? stitchPicture(workFolder, stop) : stitchFailed(split);
}

StitchResult stitchFailed(const StepResult& status)
{
    switch (status.failure) {
    case FailureKind::Stopped:
        return giveUp(StitchFailure::Stopped, status);
    case FailureKind::Tool:
        return giveUp(StitchFailure::Splitter, status);
    case FailureKind::WorkFolder:
        return giveUp(StitchFailure::CannotWrite, status);
    default:
        return giveUp(StitchFailure::NoPicture, status);
    }
}

StitchResult convertHeicToBmp(const std::string& input, const std::string& bmpPath,
                              const std::string& workFolder, const StopCheck& stop)
{
    return writtenToBmp(splitAndStitch(input, workFolder, stop), bmpPath);
}

StitchResult stitchTiles(const std::string& workFolder, const std::string& bmpPath, const StopCheck& stop)
{
    return writtenToBmp(stitchPicture(workFolder, stop), bmpPath);
}

StitchResult stitchPicture(const std::string& workFolder, const StopCheck& stop)
{
    return stitchPlane(workFolder, protocol::kTileInfoFile, TileSet(), stop);
}

StitchResult stitchImage(const std::string& workFolder, const StopCheck& stop, ImageWanted wanted)
{
    const QString prefix = QString::fromStdString(workFolder + "/" + protocol::kSplitterPrefix);
    TileSet colour;
    colour.deep = wanted.deep && readColourDepth(prefix) > 8;
    StitchResult result = stitchPlane(workFolder, protocol::kTileInfoFile, colour, stop);
    if (!result.status.ok() || !wanted.alpha || !QFileInfo::exists(prefix + protocol::kAlphaInfoFile))
        return result;
    const StitchResult alpha = stitchPlane(workFolder, protocol::kAlphaInfoFile, TileSet::alpha(), stop);
    if (!alpha.status.ok())
        return alpha;
    result.missingCells += alpha.missingCells;
    if (!applyAlphaPlane(result.picture, alpha.picture,
                         QFileInfo::exists(prefix + protocol::kPremultipliedFile)))
        return giveUp(StitchFailure::OutOfMemory);
    result.alpha = true;
    return result;
}

namespace {

StitchResult stitchPlane(const std::string& workFolder, const char* infoFile, const TileSet& set,
                         const StopCheck& stop)
{
    const TileInfo info = readTileInfo(workFolder, infoFile);
    if (info.width < 1 || info.height < 1)
        return giveUp(StitchFailure::NoPicture);
    if (info.width > protocol::kMaxConvertedSide || info.height > protocol::kMaxConvertedSide)
        return giveUp(StitchFailure::TooLarge);

    // A deep picture's 8 bytes a pixel may pass what the engine holds: it is then taken in 8 bits.
    TileSet form = set;
    form.deep =
        set.deep && std::uint64_t(info.width) * std::uint64_t(info.height) * 8 <= protocol::kMaxPictureBytes;
    TileCanvas canvas(info, form.deep ? QImage::Format_RGBX64 : QImage::Format_ARGB32);
    if (canvas.isNull())
        return giveUp(StitchFailure::OutOfMemory);

    // Each tile is placed on this thread as soon as its decoder ends, while the others go on decoding.
    const TileDecoding decoding = decodeTiles(
        workFolder, tilesWanted(info), stop,
        [&](int tileId) { return canvas.place(workFolder, tileId, form); }, form);
    switch (decoding.end) {
    case TileDecoding::End::Stopped:
        return giveUp(StitchFailure::Stopped);
    case TileDecoding::End::Refused:
        removeDecodedTiles(workFolder);
        return giveUp(StitchFailure::BadTiles);
    case TileDecoding::End::Done:
        break;
    }

    StitchResult result;
    result.missingCells = static_cast<int>(std::min<std::int64_t>(canvas.finish(), INT32_MAX));
    // Without the decoder nothing could decode: that, not the file, is what the user has to mend.
    if (decoding.decoderMissing && result.missingCells > 0)
        return giveUp(StitchFailure::DecoderNotStarted);
    result.picture = canvas.takePicture();
    return result;
}

} // namespace

void makeOpaque(QImage& picture)
{
    // Reading a BMP without an alpha mask gives every pixel alpha 255.
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            line[x] |= 0xff000000u;
    }
    picture.reinterpretAsFormat(QImage::Format_RGB32);
}
