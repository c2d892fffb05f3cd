// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/derivedpicture.h"

#include <algorithm>
#include <vector>

#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QScopeGuard>

#include "engine/files/foldertree.h"
#include "engine/files/smallfile.h"
#include "engine/picture/derivedfile.h"
#include "engine/picture/pictureextras.h"
#include "engine/picture/picturememory.h"
#include "engine/tiles/tileinfo.h"
#include "protocol/protocol.h"

namespace {

// An offset far past any canvas, so that the painter's arithmetic stays within int.
constexpr qint64 kFarthestOffset = qint64(1) << 24;

StitchResult damaged()
{
    return stitchFailed(StepResult::damaged());
}

QString prefixOf(const std::string& folder)
{
    return QString::fromStdString(folder + "/" + protocol::kSplitterPrefix);
}

// The pixels the split image's information file declares; 0 when there is none.
qint64 declaredPixels(const std::string& folder, const char* infoFile)
{
    const TileInfo info = readTileInfo(folder, infoFile);
    return info.width < 1 || info.height < 1 ? 0 : qint64(info.width) * info.height;
}

// Whether any pixel of the picture lets the one below show.
bool anyTransparent(const QImage& picture)
{
    for (int y = 0; y < picture.height(); ++y) {
        if (picture.depth() == 64) {
            const auto* line = reinterpret_cast<const QRgba64*>(picture.constScanLine(y));
            if (std::any_of(line, line + picture.width(), [](QRgba64 pixel) { return !pixel.isOpaque(); }))
                return true;
        } else {
            const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
            if (std::any_of(line, line + picture.width(), [](QRgb pixel) { return qAlpha(pixel) != 255; }))
                return true;
        }
    }
    return false;
}

} // namespace

bool isDerivedPicture(const std::string& workFolder)
{
    return QFileInfo::exists(prefixOf(workFolder) + protocol::kDerivedFile);
}

StitchResult composeDerivedPicture(const std::string& input, const std::string& workFolder, bool deep,
                                   const StopCheck& stop)
{
    const std::optional<DerivedPicture> described = parseDerivedPicture(
        readSmallFile(prefixOf(workFolder) + protocol::kDerivedFile, protocol::kMaxDerivedFileBytes)
            .value_or(QByteArray()));
    if (!described)
        return damaged();
    const QSize canvasSize = described->canvas;

    // Every input split and its size checked before any decoding: a few bytes of each may claim huge grids.
    std::vector<std::string> folders;
    const auto removeInputs = qScopeGuard([&folders] {
        for (const std::string& folder : folders)
            removeFolderTree(QString::fromStdString(folder));
    });
    const qint64 area = qint64(canvasSize.width()) * canvasSize.height();
    const qint64 allowed = qint64(protocol::kMaxOverlayWorkFactor) * area;
    qint64 pixels = 0;
    bool anyDeep = false;
    for (const DerivedInput& part : described->inputs) {
        const std::string folder = workFolder + "/input" + std::to_string(folders.size() + 1);
        folders.push_back(folder);
        const QString path = QString::fromStdString(folder);
        if (!QDir().mkpath(path + "/" + protocol::kTileFolder) ||
            !QDir().mkpath(path + "/" + protocol::kDecodedTileFolder))
            return stitchFailed(StepResult::workFolderUnwritable());
        const StepResult split = splitImage(input, folder, stop, part.item);
        if (!split.ok())
            return stitchFailed(split);
        const qint64 colour = declaredPixels(folder, protocol::kTileInfoFile);
        if (isDerivedPicture(folder) || colour == 0)
            return damaged();
        pixels += colour + declaredPixels(folder, protocol::kAlphaInfoFile);
        if (pixels > allowed)
            return damaged();
        anyDeep = anyDeep || (deep && readColourDepth(prefixOf(folder)) > 8);
    }

    // A 16-bit canvas that would pass what the engine holds is taken in 8 bits.
    anyDeep = anyDeep && quint64(area) * 8 <= protocol::kMaxPictureBytes;
    QImage canvas = newPicture(canvasSize, anyDeep ? QImage::Format_RGBA64_Premultiplied
                                                   : QImage::Format_ARGB32_Premultiplied);
    if (canvas.isNull())
        return stitchFailed(StepResult::outOfMemory());
    const std::array<quint16, 4>& fill = described->fill;
    canvas.fill(QColor::fromRgba64(fill[0], fill[1], fill[2], fill[3]));
    {
        QPainter painter(&canvas);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        for (size_t n = 0; n < folders.size(); ++n) {
            StitchResult part = stitchImage(folders[n], stop, ImageWanted{true, anyDeep});
            if (!part.status.ok() || part.missingCells > 0)
                return part;
            if (!part.alpha && part.picture.depth() == 32)
                makeOpaque(part.picture);
            const PictureExtrasResult extras = readPictureExtras(prefixOf(folders[n]));
            if (!extras.status.ok())
                return stitchFailed(extras.status);
            if (!applyPictureOperations(part.picture, extras.extras.operations))
                return part.picture.isNull() ? stitchFailed(StepResult::outOfMemory()) : damaged();
            const DerivedInput& placed = described->inputs[qsizetype(n)];
            painter.drawImage(QPoint(int(std::clamp(placed.x, -kFarthestOffset, kFarthestOffset)),
                                     int(std::clamp(placed.y, -kFarthestOffset, kFarthestOffset))),
                              part.picture);
            part.picture = QImage();
            removeFolderTree(QString::fromStdString(folders[n]));
        }
    }

    StitchResult result;
    result.alpha = anyTransparent(canvas);
    result.picture = canvas.convertToFormat(
        anyDeep ? (result.alpha ? QImage::Format_RGBA64 : QImage::Format_RGBX64) : QImage::Format_ARGB32);
    if (result.picture.isNull())
        return stitchFailed(StepResult::outOfMemory());
    return result;
}
