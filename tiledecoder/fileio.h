// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <unistd.h>

namespace tiledecoder {

struct ReadResult
{
    std::vector<std::uint8_t> bytes;
    std::string error; // empty on success
};

// Reads a whole regular file of at most maxBytes. Anything else (a folder, a pipe, a device, a larger
// file) is an error, so that no input can make the read block or grow without bound.
ReadResult readWholeFile(const std::string& path, std::size_t maxBytes);

// A file descriptor closed when it goes.
class FileDescriptor final
{
public:
    explicit FileDescriptor(int descriptor)
        : descriptor(descriptor)
    {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { close(); }

    int get() const { return descriptor; }
    bool isOpen() const { return descriptor >= 0; }

    // Closes now and reports whether the last writes reached the file.
    bool close()
    {
        if (descriptor < 0)
            return true;
        const bool closed = ::close(descriptor) == 0;
        descriptor = -1;
        return closed;
    }

private:
    int descriptor;
};

// A new file beside path, written as its bytes come and renamed over path once complete, so that path is
// either absent, the old file, or the complete new one; never a part. The new file is made under a name of
// its own (mkstemp: never through a link, never over another file); it goes again unless committed.
class ReplacingFile final
{
public:
    explicit ReplacingFile(std::string path);
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;
    ~ReplacingFile();

    // Appends the bytes; false, with error() telling why, when they could not all be written.
    bool write(const std::uint8_t* data, std::size_t size);
    // Gives the file the permissions of any new file and renames it over path; false with error() set.
    bool commit();
    // Empty while everything went well.
    const std::string& error() const { return error_; }

private:
    std::string path;
    std::string temporaryPath;
    FileDescriptor file;
    bool created = false;
    bool committed = false;
    std::string error_;
};

} // namespace tiledecoder
