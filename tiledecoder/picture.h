#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace tiledecoder {

// Pixel rows for SIMD code: 64-byte aligned, rows padded to 64 bytes, and one spare row plus 64 bytes at
// the end, so that vector loads and stores that run a little past a row's last pixel stay inside.
class PixelBuffer final
{
public:
    PixelBuffer() = default;
    PixelBuffer(std::size_t rowBytes, std::size_t rows)
        : rowStride(alignUp(rowBytes))
    {
        const std::size_t bytes = rowStride * (rows + 1) + kAlignment;
        memory.reset(static_cast<std::uint8_t*>(std::aligned_alloc(kAlignment, alignUp(bytes))));
    }

    bool isNull() const { return !memory; }
    std::uint8_t* row(std::size_t y) { return memory.get() + y * rowStride; }
    const std::uint8_t* row(std::size_t y) const { return memory.get() + y * rowStride; }
    std::uint8_t* data() { return memory.get(); }
    const std::uint8_t* data() const { return memory.get(); }
    std::size_t stride() const { return rowStride; }

private:
    static constexpr std::size_t kAlignment = 64;
    static std::size_t alignUp(std::size_t bytes)
    {
        return (bytes + kAlignment - 1) / kAlignment * kAlignment;
    }

    struct Free
    {
        void operator()(std::uint8_t* pointer) const { std::free(pointer); }
    };
    std::unique_ptr<std::uint8_t[], Free> memory;
    std::size_t rowStride = 0;
};

// The first picture of a stream as the decoder gave it: planes of 8-bit samples, or of 16-bit little-endian
// samples when the bit depth is above 8, with the conformance window already cut off.
struct Picture
{
    int width = 0;
    int height = 0;
    int chromaFormat = 0; // 0 monochrome, 1 4:2:0, 2 4:2:2, 3 4:4:4
    int bitDepth = 8;
    int matrixCoefficients = 2; // as coded in the video usability information; 2 is "unspecified"
    bool fullRange = false;
    int planeCount = 0;
    PixelBuffer planes[3];
};

} // namespace tiledecoder
