// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/picture/picturememory.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include <QColorSpace>
#include <QTransform>

#include "protocol/picturememory.h"

namespace {

using Memory = std::unique_ptr<protocol::PictureMemory>;

// Pictures given back are kept for the next ones, a few and within a bound: in a batch the next photo's
// canvas and copies land in memory already in place, where fresh memory would have to be faulted in and
// cleared by the kernel (a 12-megapixel canvas, some 100 ms of system time on a virtual machine). What is
// kept is advised MADV_FREE, so that the kernel may take it back when memory runs short; it then comes back
// as fresh pages.
class SparePictures final
{
public:
    // A kept mapping of at least bytes and at most twice as many, or null.
    Memory take(std::size_t bytes)
    {
        const std::lock_guard<std::mutex> locked(lock);
        auto best = spares.end();
        for (auto it = spares.begin(); it != spares.end(); ++it) {
            if ((*it)->size() >= bytes && (*it)->size() / 2 <= bytes &&
                (best == spares.end() || (*it)->size() < (*best)->size()))
                best = it;
        }
        if (best == spares.end())
            return nullptr;
        Memory memory = std::move(*best);
        spares.erase(best);
        keptBytes -= memory->size();
        return memory;
    }

    void give(Memory memory)
    {
        const std::lock_guard<std::mutex> locked(lock);
        if (spares.size() >= kMostKept || keptBytes + memory->size() > kMostKeptBytes)
            return;
#ifdef MADV_FREE
        ::madvise(memory->data(), memory->size(), MADV_FREE);
#endif
        keptBytes += memory->size();
        spares.push_back(std::move(memory));
    }

private:
    // Two files in flight, each with its canvas and its turned copy.
    static constexpr std::size_t kMostKept = 4;
    static constexpr std::size_t kMostKeptBytes = std::size_t(256) << 20;
    std::mutex lock;
    std::vector<Memory> spares;
    std::size_t keptBytes = 0;
};

// Never destroyed: a picture may be given back by a destructor that runs after those of the statics.
SparePictures& spares()
{
    static SparePictures& kept = *new SparePictures;
    return kept;
}

void release(void* memory)
{
    spares().give(Memory(static_cast<protocol::PictureMemory*>(memory)));
}

// Each pixel of from, one row after another, to origin + x * across + y * down bytes of to: a quarter turn or
// a mirror, by where the first pixel goes and which way the rows and columns run. In blocks, so that a turn
// writes whole cache lines of the target rather than one pixel of each.
template <typename Pixel>
void movePixels(const QImage& from, uchar* origin, std::ptrdiff_t across, std::ptrdiff_t down)
{
    constexpr int kBlock = 32;
    const uchar* const source = from.constBits();
    const std::ptrdiff_t stride = from.bytesPerLine();
    for (int top = 0; top < from.height(); top += kBlock) {
        const int bottom = std::min(top + kBlock, from.height());
        for (int left = 0; left < from.width(); left += kBlock) {
            const int right = std::min(left + kBlock, from.width());
            for (int y = top; y < bottom; ++y) {
                const auto* row = reinterpret_cast<const Pixel*>(source + y * stride);
                uchar* const target = origin + y * down;
                for (int x = left; x < right; ++x)
                    std::memcpy(target + x * across, row + x, sizeof(Pixel));
            }
        }
    }
}

// Pixels of whole bytes that movePixels() moves: every picture the engine makes. Others go through Qt.
bool movable(const QImage& picture)
{
    const int depth = picture.depth();
    return depth == 8 || depth == 16 || depth == 32 || depth == 64;
}

void movePixels(const QImage& from, uchar* origin, std::ptrdiff_t across, std::ptrdiff_t down)
{
    switch (from.depth()) {
    case 8:
        return movePixels<std::uint8_t>(from, origin, across, down);
    case 16:
        return movePixels<std::uint16_t>(from, origin, across, down);
    case 32:
        return movePixels<std::uint32_t>(from, origin, across, down);
    default:
        return movePixels<std::uint64_t>(from, origin, across, down);
    }
}

// A new picture for a copy of from: its format, its colour space and resolution (across and up when turned a
// quarter).
QImage newCopy(const QImage& from, int width, int height, bool swapResolution)
{
    QImage copy = newPicture(width, height, from.format());
    if (copy.isNull())
        return copy;
    copy.setDotsPerMeterX(swapResolution ? from.dotsPerMeterY() : from.dotsPerMeterX());
    copy.setDotsPerMeterY(swapResolution ? from.dotsPerMeterX() : from.dotsPerMeterY());
    copy.setColorSpace(from.colorSpace());
    return copy;
}

} // namespace

QImage newPicture(int width, int height, QImage::Format format)
{
    if (width <= 0 || height <= 0 || format == QImage::Format_Invalid)
        return QImage();
    // QImage's own row length: the depth's bits, rounded up to 32.
    const int depth = QImage::toPixelFormat(format).bitsPerPixel();
    const std::uint64_t bytesPerLine = (std::uint64_t(width) * std::uint64_t(depth) + 31) / 32 * 4;
    const std::uint64_t bytes = bytesPerLine * std::uint64_t(height);
    if (bytes < protocol::kSmallestHugePicture)
        return QImage(width, height, format);
    // QImage's own bound on a picture's size; its constructor says no to more.
    if (bytesPerLine > std::uint64_t(INT32_MAX) || bytes > std::uint64_t(PTRDIFF_MAX) / 2)
        return QImage();
    Memory memory = spares().take(std::size_t(bytes));
    if (!memory)
        memory = std::make_unique<protocol::PictureMemory>(std::size_t(bytes));
    if (!memory->data())
        return QImage();
    QImage picture(memory->data(), width, height, qsizetype(bytesPerLine), format, release, memory.get());
    if (picture.isNull())
        return QImage();
    memory.release();
    return picture;
}

QImage croppedPicture(const QImage& picture, const QRect& rect)
{
    if (!movable(picture))
        return picture.copy(rect);
    QImage cropped = newCopy(picture, rect.width(), rect.height(), false);
    if (cropped.isNull())
        return cropped;
    const std::size_t pixelBytes = std::size_t(picture.depth() / 8);
    for (int y = 0; y < rect.height(); ++y)
        std::memcpy(cropped.scanLine(y),
                    picture.constScanLine(rect.y() + y) + pixelBytes * std::size_t(rect.x()),
                    pixelBytes * std::size_t(rect.width()));
    return cropped;
}

QImage turnedPicture(const QImage& picture, int quarterTurns)
{
    // Qt's y axis points down: its positive angles turn clockwise.
    if (!movable(picture))
        return picture.transformed(QTransform().rotate(-90.0 * quarterTurns));
    const bool across = quarterTurns % 2 == 1;
    QImage turned = newCopy(picture, across ? picture.height() : picture.width(),
                            across ? picture.width() : picture.height(), across);
    if (turned.isNull())
        return turned;
    uchar* const bits = turned.bits();
    const std::ptrdiff_t stride = turned.bytesPerLine();
    const std::ptrdiff_t pixel = picture.depth() / 8;
    const std::ptrdiff_t lastRow = (turned.height() - 1) * stride;
    const std::ptrdiff_t lastColumn = (turned.width() - 1) * pixel;
    if (quarterTurns == 1)
        movePixels(picture, bits + lastRow, -stride, pixel);
    else if (quarterTurns == 2)
        movePixels(picture, bits + lastRow + lastColumn, -pixel, -stride);
    else
        movePixels(picture, bits + lastColumn, stride, -pixel);
    return turned;
}

QImage mirroredPicture(const QImage& picture, bool leftAndRight)
{
    if (!movable(picture))
        return picture.mirrored(leftAndRight, !leftAndRight);
    QImage mirrored = newCopy(picture, picture.width(), picture.height(), false);
    if (mirrored.isNull())
        return mirrored;
    uchar* const bits = mirrored.bits();
    const std::ptrdiff_t stride = mirrored.bytesPerLine();
    const std::ptrdiff_t pixel = picture.depth() / 8;
    if (leftAndRight)
        movePixels(picture, bits + (mirrored.width() - 1) * pixel, -pixel, stride);
    else
        movePixels(picture, bits + (mirrored.height() - 1) * stride, pixel, -stride);
    return mirrored;
}
