// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: a JPEG or PNG file held in memory read through the picture reader, with what it hands on
// checked against what it promised and thrown away.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "picturereader/picturereading.h"
#include "protocol/protocol.h"

using namespace picturereader;

namespace {

class CheckingSink final : public PictureSink
{
public:
    bool start(const PictureFormat& format) override
    {
        // Only a picture within the bounds is started, and only once.
        if (started || format.width == 0 || format.height == 0 ||
            format.width > std::uint32_t(protocol::kMaxConvertedSide) ||
            format.height > std::uint32_t(protocol::kMaxConvertedSide) ||
            std::uint64_t(rowBytes(format)) * format.height > protocol::kMaxPictureBytes)
            std::abort();
        started = true;
        height = format.height;
        return true;
    }
    bool writeRow(const std::uint8_t*) override
    {
        if (!started || finished || ++rows > height)
            std::abort();
        return true;
    }
    bool finish(const std::vector<std::uint8_t>& iccProfile, const ColourHints&) override
    {
        if (rows != height || finished || iccProfile.size() > protocol::kMaxIccProfileBytes)
            std::abort();
        finished = true;
        return true;
    }
    bool complete() const { return finished; }

private:
    bool started = false;
    bool finished = false;
    std::uint32_t height = 0;
    std::uint32_t rows = 0;
};

struct Closer
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::unique_ptr<std::FILE, Closer> file(::fmemopen(const_cast<std::uint8_t*>(data), size, "rb"));
    if (!file)
        return 0;
    CheckingSink sink;
    const ReadResult result = readPicture(file.get(), sink);
    // Success and a finished picture go together.
    if (result.ok() != sink.complete())
        std::abort();
    return 0;
}
