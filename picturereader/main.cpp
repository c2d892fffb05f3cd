// SPDX-License-Identifier: GPL-3.0-or-later
// picturereader INPUT PREFIX: reads the JPEG or PNG file INPUT, as its first bytes say whatever its name,
// into PREFIXbmp (8 bits a sample) or PREFIXpam (16 bits), PREFIXicc (its ICC profile, when it has one of at
// most 4 MiB) and PREFIXformat, written last (protocol/protocol.h). On failure: one line on standard error,
// none of these files, and the exit status 1 (damaged, or not a JPEG or PNG file), 3 (an output could not be
// written), 4 (larger than the engine converts) or 5 (not enough memory).
#include <cstdio>
#include <memory>
#include <new>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "picturereader/limits.h"
#include "picturereader/outputfiles.h"
#include "picturereader/picturereading.h"
#include "protocol/addressspace.h"
#include "protocol/protocol.h"

namespace {

using namespace picturereader;

struct Closer
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The path as it may appear in the one line of the message: control characters would break that line.
std::string printable(std::string text)
{
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = '?';
    }
    return text;
}

int fail(const std::string& input, const ReadResult& result)
{
    std::fprintf(stderr, "picturereader: %s: %s\n", printable(input).c_str(),
                 printable(result.message).c_str());
    switch (result.failure) {
    case ReadFailure::CannotWrite:
        return protocol::kReadCannotWrite;
    case ReadFailure::TooLarge:
        return protocol::kReadTooLarge;
    case ReadFailure::OutOfMemory:
        return protocol::kReadOutOfMemory;
    default:
        return protocol::kReadRefused;
    }
}

// A regular file only: a pipe or a device would make the reading wait or go on without end.
std::unique_ptr<std::FILE, Closer> openInput(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat status = {};
    std::unique_ptr<std::FILE, Closer> file;
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode))
        file.reset(::fdopen(fd, "rb"));
    if (!file)
        ::close(fd);
    return file;
}

int read(const std::string& input, const std::string& prefix)
{
    OutputFiles output(prefix);
    const std::unique_ptr<std::FILE, Closer> file = openInput(input);
    if (!file)
        return fail(input, {ReadFailure::NotAPicture, "cannot read the file"});
    const ReadResult result = readPicture(file.get(), output);
    if (result.failure == ReadFailure::CannotWrite)
        return fail(input, {ReadFailure::CannotWrite, output.error()});
    return result.ok() ? protocol::kReadDone : fail(input, result);
}

} // namespace

int main(int argc, char* argv[])
{
    protocol::capAddressSpace(kAddressSpaceCap);
    if (argc != 3 || argv[1][0] == '\0' || argv[2][0] == '\0') {
        std::fprintf(stderr, "usage: picturereader INPUT PREFIX\n");
        return protocol::kReadUsage;
    }
    try {
        return read(argv[1], argv[2]);
    } catch (const std::bad_alloc&) {
        // What was written went with the files' owner on the way out.
        return fail(argv[1], {ReadFailure::OutOfMemory, "not enough memory"});
    }
}
