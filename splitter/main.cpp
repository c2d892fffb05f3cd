// SPDX-License-Identifier: GPL-3.0-or-later
// heic INPUT PREFIX: writes the primary picture of the HEIC file INPUT as raw HEVC tiles PREFIX1, PREFIX2,
// ... and the tile information PREFIXinfo; beside it PREFIXtransform (the crop, rotation and mirror steps,
// one a line, possibly none), PREFIXicc (the ICC profile) and PREFIXexif (the Exif block from its TIFF
// header on) when the picture has them, and its bit depths and alpha plane (protocol/protocol.h); for an
// overlay or identity picture its description PREFIXderived instead of tiles and information. On failure:
// one line on standard error, no information file and the exit status 1, or 3 when an output could not be
// written (a full disk is not a damaged file), or 4 and PREFIXkind for a picture of a kind not converted.
// heic --item ID INPUT PREFIX: the same for the image item ID instead of the primary.
// heic --list INPUT: prints the file's top-level images (images.h), one a line, the primary first: the item
// id and the pixels converting it decodes (split.h); fails as above. An input named like an option is
// given as ./--list.
#include <cstdint>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "protocol/addressspace.h"
#include "protocol/protocol.h"
#include "splitter/container.h"
#include "splitter/images.h"
#include "splitter/limits.h"
#include "splitter/source.h"
#include "splitter/split.h"

namespace {

using heifsplit::Failure;
using heifsplit::FailureKind;

bool writeWholeFile(const std::string& path, const void* data, std::size_t size, Failure& failure)
{
    // Never through a link planted where an output goes: the data would land wherever it points.
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    std::FILE* file = descriptor >= 0 ? ::fdopen(descriptor, "wb") : nullptr;
    if (!file) {
        if (descriptor >= 0)
            ::close(descriptor);
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

    bool writeInfo(const std::string& name, const std::string& text, Failure& failure) override
    {
        complete_ = checked(writeWholeFile(prefix_ + name, text.data(), text.size(), failure));
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

int usage()
{
    std::fprintf(stderr, "usage: heic [--item ID] INPUT PREFIX | heic --list INPUT\n");
    return protocol::kSplitUsage;
}

int refuse(const std::string& input, const Failure& failure, bool outputFailed)
{
    std::fprintf(stderr, "heic: %s: %s\n", printablePath(input).c_str(),
                 printablePath(failure.reason()).c_str());
    return outputFailed ? protocol::kSplitCannotWrite : protocol::kSplitRefused;
}

// An item id in plain decimal, from 1 to 2^32 - 1; 0 for anything else.
std::uint32_t itemId(const std::string& text)
{
    if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos) {
        return 0;
    }
    const unsigned long long value = std::stoull(text);
    return value <= UINT32_MAX ? static_cast<std::uint32_t>(value) : 0;
}

int list(const std::string& input)
{
    Failure failure;
    heifsplit::FileSource source(input, failure);
    heifsplit::Container container;
    std::vector<std::uint32_t> ids;
    if (failure.failed() || !heifsplit::parseContainer(source, container, failure) ||
        !heifsplit::topLevelImages(container, ids, failure)) {
        return refuse(input, failure, false);
    }
    // With the work each one is, so that the engine can weigh it before anything is decoded.
    for (const std::uint32_t id : ids) {
        std::printf("%u %llu\n", static_cast<unsigned>(id),
                    static_cast<unsigned long long>(
                        heifsplit::decodedPixels(source, container, *container.item(id))));
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        failure.set(FailureKind::Io, "cannot write the list");
        return refuse(input, failure, true);
    }
    return protocol::kSplitDone;
}

int split(const std::string& input, const std::string& prefix, std::uint32_t item)
{
    // Files left from an earlier run would describe a picture that this run did not take apart.
    for (const char* name :
         {protocol::kTileInfoFile, protocol::kTransformFile, protocol::kIccProfileFile, protocol::kExifFile,
          protocol::kDepthFile, protocol::kAlphaInfoFile, protocol::kPremultipliedFile,
          protocol::kDerivedFile, protocol::kPictureKindFile}) {
        std::remove((prefix + name).c_str());
    }

    Failure failure;
    bool outputFailed = false;
    heifsplit::FileSource source(input, failure);
    if (!failure.failed()) {
        FileSink sink(prefix);
        heifsplit::split(source, sink, failure, item);
        outputFailed = sink.outputFailed();
    }
    if (failure.kind() == FailureKind::PictureKind) {
        const std::string kind = failure.pictureKind() + "\n";
        Failure written;
        if (!writeWholeFile(prefix + protocol::kPictureKindFile, kind.data(), kind.size(), written))
            return refuse(input, written, true);
        refuse(input, failure, false);
        return protocol::kSplitPictureKind;
    }
    return failure.failed() ? refuse(input, failure, outputFailed) : protocol::kSplitDone;
}

// The input's path, for a message: --list's, or the one before PREFIX.
std::string inputOf(const std::vector<std::string>& arguments)
{
    if (arguments.size() == 2 && arguments[0] == "--list") {
        return arguments[1];
    }
    return arguments.size() >= 2 ? arguments[arguments.size() - 2] : std::string();
}

int run(const std::vector<std::string>& arguments)
{
    if (arguments.size() == 2 && arguments[0] == "--list") {
        return list(arguments[1]);
    }
    if (arguments.size() == 2) {
        return split(arguments[0], arguments[1], 0);
    }
    if (arguments.size() == 4 && arguments[0] == "--item" && itemId(arguments[1]) != 0) {
        return split(arguments[2], arguments[3], itemId(arguments[1]));
    }
    return usage();
}

} // namespace

int main(int argc, char* argv[])
{
    protocol::capAddressSpace(heifsplit::kAddressSpaceCap);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    try {
        return run(arguments);
    } catch (const std::bad_alloc&) {
        // A file that asks for more than the cap is refused like any other; what was written has gone with
        // its owner on the way out.
        Failure failure;
        failure.set(FailureKind::Limit, "not enough memory for this file");
        return refuse(inputOf(arguments), failure, false);
    }
}
