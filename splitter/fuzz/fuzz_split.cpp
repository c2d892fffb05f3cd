// libFuzzer target: the whole split of a file held in memory, with the output checked and thrown away.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "protocol/protocol.h"
#include "splitter/source.h"
#include "splitter/tiles.h"

namespace {

class CheckingSink final : public heifsplit::TileSink
{
public:
    explicit CheckingSink(std::size_t inputSize)
        : inputSize_(inputSize)
    {}

    bool writeTile(std::uint32_t number, const std::vector<std::uint8_t>& stream,
                   heifsplit::Failure&) override
    {
        // Tiles come numbered from 1 without gaps, and never multiply the input without bound.
        if (number != ++tiles_) {
            std::abort();
        }
        written_ += stream.size();
        if (written_ > 3 * inputSize_ + 64ull * 1024 * 1024 + 64) {
            std::abort();
        }
        return true;
    }

    bool writeSideFile(const std::string& name, const std::vector<std::uint8_t>& data,
                       heifsplit::Failure&) override
    {
        // The transform text comes first and always; metadata never exceeds its limits.
        const bool transform = name == protocol::kTransformFile;
        const bool icc = name == protocol::kIccProfileFile;
        const bool exif = name == protocol::kExifFile;
        if (tiles_ == 0 || transform == transformWritten_ ||
            (transform && data.size() > protocol::kMaxTransformFileBytes) ||
            (icc && (data.empty() || data.size() > protocol::kMaxIccProfileBytes)) ||
            (exif && (data.size() < 8 || data.size() > protocol::kMaxExifBytes)) ||
            (!transform && !icc && !exif)) {
            std::abort();
        }
        transformWritten_ = true;
        return true;
    }

    bool writeInfo(const std::string& text, heifsplit::Failure&) override
    {
        if (text.empty() || text.back() != '\n' || tiles_ == 0 || !transformWritten_) {
            std::abort();
        }
        return true;
    }

private:
    std::size_t inputSize_;
    std::uint32_t tiles_ = 0;
    std::uint64_t written_ = 0;
    bool transformWritten_ = false;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    heifsplit::MemorySource source(data, size);
    CheckingSink sink(size);
    heifsplit::Failure failure;
    const bool done = heifsplit::split(source, sink, failure);
    // Success and failure exclude each other, and every failure says why.
    if (done == failure.failed() || (failure.failed() && failure.reason().empty())) {
        std::abort();
    }
    return 0;
}
