// heic INPUT PREFIX: writes the primary picture of the HEIC file INPUT as raw HEVC tiles PREFIX1, PREFIX2,
// ... and the tile information PREFIXinfo; beside it PREFIXtransform (the crop, rotation and mirror steps,
// one a line, possibly none), PREFIXicc (the ICC profile) and PREFIXexif (the Exif block from its TIFF
// header on) when the picture has them. On failure: one line on standard error, no information file and
// the exit status 1, or 3 when an output could not be written (a full disk is not a damaged file).
#include <cstdio>
#include <string>
#include <vector>

#include "protocol/protocol.h"
#include "splitter/source.h"
#include "splitter/tiles.h"

namespace {

using heifsplit::Failure;
using heifsplit::FailureKind;

bool writeWholeFile(const std::string& path, const void* data, std::size_t size, Failure& failure)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        failure.set(FailureKind::Io, "cannot create " + path);
        return false;
    }
    // An empty file (no transform steps) has no data pointer to hand to fwrite.
    const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        std::remove(path.c_str());
        failure.set(FailureKind::Io, "cannot write " + path);
        return false;
    }
    return true;
}

// Writes PREFIX-named files only, and takes back the tiles it wrote when the split fails.
class FileSink final : public heifsplit::TileSink
{
public:
    explicit FileSink(std::string prefix)
        : prefix_(std::move(prefix))
    {}
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;

    ~FileSink() override
    {
        if (!complete_) {
            for (const std::string& path : written_) {
                std::remove(path.c_str());
            }
        }
    }

    bool writeTile(std::uint32_t number, const std::vector<std::uint8_t>& stream, Failure& failure) override
    {
        const std::string path = prefix_ + std::to_string(number);
        written_.push_back(path);
        return checked(writeWholeFile(path, stream.data(), stream.size(), failure));
    }

    bool writeSideFile(const std::string& name, const std::vector<std::uint8_t>& data,
                       Failure& failure) override
    {
        const std::string path = prefix_ + name;
        written_.push_back(path);
        return checked(writeWholeFile(path, data.data(), data.size(), failure));
    }

    bool writeInfo(const std::string& text, Failure& failure) override
    {
        complete_ =
            checked(writeWholeFile(prefix_ + protocol::kTileInfoFile, text.data(), text.size(), failure));
        return complete_;
    }

    bool outputFailed() const { return outputFailed_; }

private:
    std::string prefix_;
    std::vector<std::string> written_;
    bool complete_ = false;
    bool outputFailed_ = false;

    bool checked(bool written)
    {
        outputFailed_ = outputFailed_ || !written;
        return written;
    }
};

// The path as it may appear in the one line of the message: control characters would break that line.
std::string printablePath(std::string path)
{
    for (char& c : path) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
            c = '?';
        }
    }
    return path;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: heic INPUT PREFIX\n");
        return protocol::kSplitUsage;
    }
    const std::string input = argv[1];
    const std::string prefix = argv[2];
    // Files left from an earlier run would describe a picture that this run did not take apart.
    for (const char* name : {protocol::kTileInfoFile, protocol::kTransformFile, protocol::kIccProfileFile,
                             protocol::kExifFile}) {
        std::remove((prefix + name).c_str());
    }

    Failure failure;
    bool outputFailed = false;
    heifsplit::FileSource source(input, failure);
    if (!failure.failed()) {
        FileSink sink(prefix);
        heifsplit::split(source, sink, failure);
        outputFailed = sink.outputFailed();
    }
    if (failure.failed()) {
        std::fprintf(stderr, "heic: %s: %s\n", printablePath(input).c_str(),
                     printablePath(failure.reason()).c_str());
        return outputFailed ? protocol::kSplitCannotWrite : protocol::kSplitRefused;
    }
    return protocol::kSplitDone;
}
