// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

namespace picturereader {

// A JPEG file's ICC profile, which comes in parts in APP2 segments: "ICC_PROFILE", a NUL, the part's number
// from 1 and the count of parts, then the part. Each part is kept as its segment is read, up to
// protocol::kMaxIccProfileBytes in all; a larger profile is left out whole, and no other segment is kept.
// Its reader runs inside libjpeg, where a failure leaves by longjmp: it holds no object with a destructor.
class JpegProfile final
{
public:
    JpegProfile() = default;
    ~JpegProfile();
    JpegProfile(const JpegProfile&) = delete;
    JpegProfile& operator=(const JpegProfile&) = delete;

    // Makes this object libjpeg's reader of the APP2 segments of info (through info's client_data).
    void readFrom(jpeg_decompress_struct& info);

    // The parts in order: empty when there were none, one is missing or given twice, or they are too many.
    std::vector<std::uint8_t> profile() const;

private:
    struct Part
    {
        std::size_t offset = 0;
        std::size_t length = 0;
        bool present = false;
    };

    static boolean readSegment(j_decompress_ptr info);
    void keepPart(j_decompress_ptr info, int number, int count, std::size_t length);

    std::uint8_t* buffer = nullptr; // the parts as they came, kMaxIccProfileBytes once the first comes
    std::size_t stored = 0;
    std::array<Part, 256> parts{};
    int partCount = 0;
    bool unusable = false; // too large or inconsistent
};

} // namespace picturereader
