// SPDX-License-Identifier: GPL-3.0-or-later
#include "picturereader/jpegprofile.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <jerror.h>

#include "protocol/protocol.h"

namespace picturereader {

namespace {

constexpr char kIdentifier[12] = {'I', 'C', 'C', '_', 'P', 'R', 'O', 'F', 'I', 'L', 'E', '\0'};
// The identifier, the part's number and the count.
constexpr std::size_t kPartHeaderBytes = sizeof kIdentifier + 2;

// Takes count bytes from libjpeg's source. Our sources never suspend: they end in a made-up EOI instead.
void readBytes(j_decompress_ptr info, std::uint8_t* into, std::size_t count)
{
    jpeg_source_mgr& source = *info->src;
    while (count > 0) {
        if (source.bytes_in_buffer == 0 && !(*source.fill_input_buffer)(info))
            ERREXIT(info, JERR_CANT_SUSPEND);
        const std::size_t taken = std::min(count, source.bytes_in_buffer);
        std::memcpy(into, source.next_input_byte, taken);
        source.next_input_byte += taken;
        source.bytes_in_buffer -= taken;
        into += taken;
        count -= taken;
    }
}

void skipBytes(j_decompress_ptr info, std::size_t count)
{
    if (count > 0)
        (*info->src->skip_input_data)(info, long(count));
}

} // namespace

JpegProfile::~JpegProfile()
{
    std::free(buffer);
}

void JpegProfile::readFrom(jpeg_decompress_struct& info)
{
    info.client_data = this;
    jpeg_set_marker_processor(&info, JPEG_APP0 + 2, readSegment);
}

boolean JpegProfile::readSegment(j_decompress_ptr info)
{
    JpegProfile& self = *static_cast<JpegProfile*>(info->client_data);
    std::uint8_t header[2 + kPartHeaderBytes];
    readBytes(info, header, 2);
    const std::size_t length = std::size_t(header[0]) << 8 | header[1];
    if (length < 2)
        ERREXIT(info, JERR_BAD_LENGTH);
    std::size_t left = length - 2;
    if (left < kPartHeaderBytes) {
        skipBytes(info, left);
        return TRUE;
    }
    readBytes(info, header + 2, kPartHeaderBytes);
    left -= kPartHeaderBytes;
    if (std::memcmp(header + 2, kIdentifier, sizeof kIdentifier) != 0) {
        skipBytes(info, left);
        return TRUE;
    }
    self.keepPart(info, header[2 + sizeof kIdentifier], header[3 + sizeof kIdentifier], left);
    return TRUE;
}

void JpegProfile::keepPart(j_decompress_ptr info, int number, int count, std::size_t length)
{
    if (number == 0 || number > count || (partCount != 0 && count != partCount) || parts[number].present)
        unusable = true;
    if (stored + length > protocol::kMaxIccProfileBytes)
        unusable = true;
    if (unusable) {
        skipBytes(info, length);
        return;
    }
    if (!buffer) {
        buffer = static_cast<std::uint8_t*>(std::malloc(protocol::kMaxIccProfileBytes));
        if (!buffer)
            ERREXIT1(info, JERR_OUT_OF_MEMORY, 0);
    }
    readBytes(info, buffer + stored, length);
    partCount = count;
    parts[number] = Part{stored, length, true};
    stored += length;
}

std::vector<std::uint8_t> JpegProfile::profile() const
{
    if (unusable || partCount == 0)
        return {};
    std::vector<std::uint8_t> whole;
    whole.reserve(stored);
    for (int number = 1; number <= partCount; ++number) {
        const Part& part = parts[number];
        if (!part.present)
            return {};
        whole.insert(whole.end(), buffer + part.offset, buffer + part.offset + part.length);
    }
    return whole;
}

} // namespace picturereader
