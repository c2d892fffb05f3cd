// SPDX-License-Identifier: GPL-3.0-or-later
#include "picturereader/outputfiles.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#include "protocol/protocol.h"
#include "protocol/tilebmp.h"

namespace picturereader {

namespace {

const char* channelsName(Channels channels)
{
    switch (channels) {
    case Channels::Grey:
        return "grey";
    case Channels::Rgb:
        return "rgb";
    case Channels::Rgba:
        break;
    }
    return "rgba";
}

std::string pamHeader(const PictureFormat& format)
{
    const bool grey = format.channels == Channels::Grey;
    return "P7\nWIDTH " + std::to_string(format.width) + "\nHEIGHT " + std::to_string(format.height) +
           "\nDEPTH " + (grey ? "1" : "4") + "\nMAXVAL 65535\nTUPLTYPE " +
           (grey ? "GRAYSCALE" : "RGB_ALPHA") + "\nENDHDR\n";
}

std::string formatText(const PictureFormat& format, const ColourHints& hints)
{
    std::string text =
        "pixels " + std::to_string(format.bitsPerSample) + " " + channelsName(format.channels) + "\n";
    if (hints.srgb)
        text += "srgb\n";
    if (hints.gamma > 0)
        text += "gamma " + std::to_string(hints.gamma) + "\n";
    if (hints.hasChromaticities) {
        text += "chromaticities";
        for (const std::uint32_t value : hints.chromaticities)
            text += " " + std::to_string(value);
        text += "\n";
    }
    return text;
}

} // namespace

OutputFiles::OutputFiles(std::string prefix)
    : prefix(std::move(prefix))
{
    for (const char* name : {protocol::kReadFormatFile, protocol::kReadBmpFile, protocol::kReadPamFile,
                             protocol::kIccProfileFile})
        ::unlink((this->prefix + name).c_str());
}

OutputFiles::~OutputFiles()
{
    pixels.reset();
    if (!complete) {
        for (const std::string& path : written)
            ::unlink(path.c_str());
    }
}

std::unique_ptr<std::FILE, OutputFiles::Closer> OutputFiles::create(const char* name)
{
    const std::string path = prefix + name;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        failed("cannot create " + path);
        return nullptr;
    }
    written.push_back(path);
    std::unique_ptr<std::FILE, Closer> file(::fdopen(fd, "wb"));
    if (!file) {
        ::close(fd);
        failed("cannot write " + path);
    }
    return file;
}

bool OutputFiles::failed(const std::string& what)
{
    failure = what + " (" + std::strerror(errno) + ")";
    return false;
}

bool OutputFiles::writeWhole(const char* name, const std::string& bytes)
{
    std::unique_ptr<std::FILE, Closer> file = create(name);
    if (!file)
        return false;
    const bool wrote = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    if (std::fclose(file.release()) != 0 || !wrote)
        return failed("cannot write " + prefix + name);
    return true;
}

bool OutputFiles::start(const PictureFormat& pictureFormat)
{
    format = pictureFormat;
    const bool deep = format.bitsPerSample == 16;
    pixels = create(deep ? protocol::kReadPamFile : protocol::kReadBmpFile);
    if (!pixels)
        return false;
    rowSize = rowBytes(format);
    if (deep) {
        const std::string header = pamHeader(format);
        if (std::fwrite(header.data(), 1, header.size(), pixels.get()) != header.size())
            return failed("cannot write the picture");
        return true;
    }
    const auto header = protocol::tileBmpHeader(format.width, format.height);
    if (std::fwrite(header.data(), 1, header.size(), pixels.get()) != header.size())
        return failed("cannot write the picture");
    return true;
}

bool OutputFiles::writeRow(const std::uint8_t* row)
{
    if (std::fwrite(row, 1, rowSize, pixels.get()) != rowSize)
        return failed("cannot write the picture");
    return true;
}

bool OutputFiles::finish(const std::vector<std::uint8_t>& iccProfile, const ColourHints& hints)
{
    if (std::fclose(pixels.release()) != 0)
        return failed("cannot write the picture");
    if (!iccProfile.empty() &&
        !writeWhole(protocol::kIccProfileFile, std::string(iccProfile.begin(), iccProfile.end())))
        return false;
    if (!writeWhole(protocol::kReadFormatFile, formatText(format, hints)))
        return false;
    complete = true;
    return true;
}

} // namespace picturereader
