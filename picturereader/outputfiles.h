// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "picturereader/picture.h"

namespace picturereader {

// The reader's files for the engine (protocol/protocol.h): PREFIXbmp or PREFIXpam with the pixels, written
// row by row as they are decoded, PREFIXicc with the profile when there is one, and PREFIXformat last. Files
// of these names left by an earlier run go first; what this one wrote goes again unless it was finished.
// Each file is made anew, never through a link.
class OutputFiles final : public PictureSink
{
public:
    explicit OutputFiles(std::string prefix);
    ~OutputFiles() override;
    OutputFiles(const OutputFiles&) = delete;
    OutputFiles& operator=(const OutputFiles&) = delete;

    bool start(const PictureFormat& format) override;
    bool writeRow(const std::uint8_t* row) override;
    bool finish(const std::vector<std::uint8_t>& iccProfile, const ColourHints& hints) override;

    // What could not be written, after a call said no.
    const std::string& error() const { return failure; }

private:
    struct Closer
    {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    std::unique_ptr<std::FILE, Closer> create(const char* name);
    bool writeWhole(const char* name, const std::string& bytes);
    bool failed(const std::string& what);

    const std::string prefix;
    std::unique_ptr<std::FILE, Closer> pixels;
    PictureFormat format;
    std::size_t rowSize = 0;
    std::vector<std::string> written;
    bool complete = false;
    std::string failure;
};

} // namespace picturereader
