#include "engine/tilestitcher.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <vector>

#include <QImageReader>

#include "engine/bmpwriter.h"
#include "engine/tiledecoding.h"
#include "engine/tileinfo.h"
#include "engine/tileplacement.h"

namespace {

// The tile numbers of the decoded pictures jpeg/jpegN.bmp in the work folder, in ascending order. Only
// plain decimal names count, as the decoder's output names are written.
std::vector<long long> decodedTileNumbers(const std::string& workFolder)
{
    std::vector<long long> numbers;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(workFolder + "/jpeg", error)) {
        const std::string name = entry.path().filename().string();
        constexpr std::string_view prefix = "jpeg";
        constexpr std::string_view suffix = ".bmp";
        if (name.size() <= prefix.size() + suffix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;
        const std::string digits = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
        if (digits.size() > 18 || digits[0] == '0' ||
            digits.find_first_not_of("0123456789") != std::string::npos)
            continue;
        numbers.push_back(std::stoll(digits));
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

// The first tile in grid order that decodes sets the cell size.
CellSize cellSizeOf(const std::string& workFolder, const std::vector<long long>& decoded,
                    const TileInfo& info)
{
    const long long gridSize = static_cast<long long>(std::max(info.rows, 0)) * std::max(info.cols, 0);
    for (const long long number : decoded) {
        if (number > gridSize)
            break;
        const QImage tile = loadTilePixels(tilePicturePath(workFolder, number));
        if (!tile.isNull())
            return CellSize{tile.width(), tile.height()};
    }
    return CellSize{};
}

int giveUp(StitchFailure reason, StitchFailure* failure)
{
    if (failure)
        *failure = reason;
    return -1;
}

} // namespace

QImage loadTilePixels(const std::string& path)
{
    // Only the decoder's BMP output is read: no other image format gets to parse these files.
    QImageReader reader(QString::fromStdString(path), "bmp");
    reader.setAutoDetectImageFormat(false);
    const QImage image = reader.read();
    // The decoder's colour pictures come as RGB32, already laid out as needed: no copy for them.
    if (image.isNull() || image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32)
        return image;
    return image.convertToFormat(QImage::Format_ARGB32);
}

int convertHeicToBmp(const std::string& input, const std::string& bmpPath, const std::string& workFolder,
                     int* missingCells, StitchFailure* failure, const StopCheck& stop, QImage* picture)
{
    int exitStatus = 0;
    switch (runSplitter(input, workFolder + "/hevc/hevc", stop, &exitStatus)) {
    case kToolStopped:
        return giveUp(StitchFailure::Stopped, failure);
    case kToolNotStarted:
        return giveUp(StitchFailure::SplitterNotStarted, failure);
    case kToolTimedOut:
        return giveUp(StitchFailure::SplitterTimedOut, failure);
    default:
        // A crash is the splitter's fault, not the file's: say so rather than call the file damaged.
        if (exitStatus > 128)
            return giveUp(StitchFailure::SplitterCrashed, failure);
        if (exitStatus == kSplitterCannotWrite)
            return giveUp(StitchFailure::CannotWrite, failure);
        break;
    }
    return stitchTiles(workFolder, bmpPath, missingCells, failure, stop, picture);
}

int stitchTiles(const std::string& workFolder, const std::string& bmpPath, int* missingCells,
                StitchFailure* failure, const StopCheck& stop, QImage* picture)
{
    if (failure)
        *failure = StitchFailure::None;
    const TileInfo info = parseTileInfo(readWholeFile(workFolder + "/hevc/hevcinfo").value_or(std::string()));
    if (info.width < 1 || info.height < 1)
        return giveUp(StitchFailure::NoPicture, failure);
    if (info.width > kLargestPictureSide || info.height > kLargestPictureSide)
        return giveUp(StitchFailure::TooLarge, failure);

    // 32-bit rows need no padding, so the canvas's rows lie back to back as the BMP stores them.
    QImage canvas(info.width, info.height, QImage::Format_ARGB32);
    if (canvas.isNull())
        return giveUp(StitchFailure::OutOfMemory, failure);
    canvas.fill(0);
    const size_t stride = static_cast<size_t>(canvas.bytesPerLine());
    std::uint8_t* const pixels = canvas.bits();

    bool decoderMissing = false;
    if (!decodeTiles(workFolder, info.tileIds, stop, &decoderMissing))
        return giveUp(StitchFailure::Stopped, failure);

    const std::vector<long long> decoded = decodedTileNumbers(workFolder);
    const CellSize cell = cellSizeOf(workFolder, decoded, info);
    std::int64_t covered = 0;
    for (const long long number : decoded) {
        if (stop && stop())
            return giveUp(StitchFailure::Stopped, failure);
        const std::optional<TileRect> rect = placeTile(number, info, cell);
        if (!rect)
            continue;
        const QImage tile = loadTilePixels(tilePicturePath(workFolder, number));
        if (tile.isNull())
            continue;
        // Row by row: tiles of any size land in their cell, cut at the cell's and the picture's edges.
        const int copyWidth = std::min(tile.width(), rect->width);
        const int copyHeight = std::min(tile.height(), rect->height);
        for (int row = 0; row < copyHeight; ++row)
            std::memcpy(pixels + static_cast<size_t>(rect->y + row) * stride +
                            static_cast<size_t>(rect->x) * 4,
                        tile.constScanLine(row), static_cast<size_t>(copyWidth) * 4);
        if (copyWidth == rect->width && copyHeight == rect->height)
            ++covered;
    }
    const std::int64_t missing = cellsNeeded(info, cell) - covered;
    if (missingCells)
        *missingCells = static_cast<int>(missing);
    // Without the decoder nothing could decode: that, not the file, is what the user has to mend.
    if (decoderMissing && missing > 0)
        return giveUp(StitchFailure::DecoderNotStarted, failure);

    if (!writeBmp32(bmpPath, pixels, info.width, info.height))
        return giveUp(StitchFailure::CannotWrite, failure);
    if (picture) {
        // Reading a BMP without an alpha mask gives every pixel alpha 255.
        for (int y = 0; y < info.height; ++y) {
            auto* line = reinterpret_cast<QRgb*>(pixels + static_cast<size_t>(y) * stride);
            for (int x = 0; x < info.width; ++x)
                line[x] |= 0xff000000u;
        }
        canvas.reinterpretAsFormat(QImage::Format_RGB32);
        *picture = canvas;
    }
    return 0;
}
