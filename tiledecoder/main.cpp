// SPDX-License-Identifier: GPL-3.0-or-later
// The tile decoder: `ffmpeg -i TILE OUT.bmp` decodes the first picture of a raw HEVC stream into a 32-bit
// BMP whose colours agree with the system's ffmpeg's, in a process that loads seven libraries instead of a
// couple of hundred; `ffmpeg -i TILE -pix_fmt rgb48be OUT.ppm` into a 16-bit PPM the same way. Any failure:
// one line on standard error, a non-zero exit, and no OUT.

#include <cstdio>
#include <malloc.h>
#include <string>

#include "protocol/addressspace.h"
#include "protocol/protocol.h"
#include "tiledecoder/arguments.h"
#include "tiledecoder/converter.h"
#include "tiledecoder/decoder.h"
#include "tiledecoder/fileio.h"
#include "tiledecoder/limits.h"
#include "tiledecoder/streamprobe.h"
#include "tiledecoder/workingmemory.h"

namespace {

constexpr int kLargestHeapBlock = 64 * 1024 * 1024;

int fail(const std::string& tilePath, const std::string& message)
{
    std::fprintf(stderr, "tile decoder: %s: %s\n", tilePath.c_str(), message.c_str());
    return protocol::kDecodeFailed;
}

} // namespace

int main(int argc, char* argv[])
{
    using namespace tiledecoder;
    protocol::capAddressSpace(kAddressSpaceCap);
    // The process lives for one tile: memory from the heap, never given back, is faulted in once.
    mallopt(M_MMAP_THRESHOLD, kLargestHeapBlock);
    mallopt(M_TRIM_THRESHOLD, kLargestHeapBlock);
    const std::optional<Arguments> arguments = parseArguments(argc, argv);
    if (!arguments) {
        std::fprintf(stderr, "%s\n", kUsage);
        return protocol::kDecodeUsage;
    }
    const std::string& tile = arguments->tilePath;

    const ReadResult input = readWholeFile(tile, kMaxInputBytes);
    if (!input.error.empty())
        return fail(tile, input.error);

    const ProbeResult probe = probeStream(input.bytes.data(), input.bytes.size());
    if (probe.error != ProbeError::None)
        return fail(tile, describe(probe.error));

    prepareHeap(decodingWorkingSet(probe.sequence));
    const DecodeResult decoded = decodeFirstPicture(input.bytes.data(), input.bytes.size());
    if (!decoded.error.empty())
        return fail(tile, decoded.error);

    ReplacingFile output(arguments->outputPath);
    const std::string converted =
        writePicture(decoded.picture, arguments->form,
                     [&](const std::uint8_t* data, std::size_t size) { return output.write(data, size); });
    if (!output.error().empty() || !converted.empty() || !output.commit())
        return fail(tile, output.error().empty() ? converted : output.error());
    return protocol::kDecodeDone;
}
