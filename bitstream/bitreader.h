// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

namespace hevc {

// Reads the bits of one NAL unit payload, most significant bit first, dropping the emulation prevention
// byte (the 03 in 00 00 03) on the way. Reading past the end yields zeros and sets failed(), which stays
// set, so a header is read as straight-line code followed by one check.
class BitReader final
{
public:
    BitReader(const std::uint8_t* data, std::size_t size)
        : data(data)
        , size(size)
    {}

    // n from 0 to 32.
    std::uint32_t bits(int n)
    {
        std::uint32_t value = 0;
        for (int i = 0; i < n; ++i)
            value = (value << 1) | bit();
        return value;
    }

    bool flag() { return bit() != 0; }

    void skip(int n)
    {
        for (int i = 0; i < n; ++i)
            bit();
    }

    // Unsigned Exp-Golomb code; more than 31 leading zeros is an error.
    std::uint32_t unsignedExpGolomb()
    {
        int leadingZeros = 0;
        while (bit() == 0) {
            if (hasFailed || ++leadingZeros > 31) {
                hasFailed = true;
                return 0;
            }
        }
        const std::uint64_t value = (std::uint64_t(1) << leadingZeros) - 1 + bits(leadingZeros);
        return std::uint32_t(value);
    }

    bool failed() const { return hasFailed; }

private:
    std::uint32_t bit()
    {
        if (bitsLeft == 0) {
            if (!nextByte())
                return 0;
        }
        --bitsLeft;
        return (current >> bitsLeft) & 1u;
    }

    bool nextByte()
    {
        if (zeros >= 2 && position < size && data[position] == 0x03) {
            ++position;
            zeros = 0;
        }
        if (position >= size) {
            hasFailed = true;
            return false;
        }
        current = data[position++];
        zeros = current == 0 ? zeros + 1 : 0;
        bitsLeft = 8;
        return true;
    }

    const std::uint8_t* data;
    std::size_t size;
    std::size_t position = 0;
    int zeros = 0;
    std::uint32_t current = 0;
    int bitsLeft = 0;
    bool hasFailed = false;
};

} // namespace hevc
