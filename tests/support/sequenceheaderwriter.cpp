#include "tests/support/sequenceheaderwriter.h"

namespace vornetta::test::hevc {

namespace {

class BitWriter final
{
public:
    void bits(quint64 value, int count)
    {
        for (int i = count - 1; i >= 0; --i)
            bit(int(value >> i) & 1);
    }
    void unsignedExpGolomb(quint64 value)
    {
        const quint64 coded = value + 1;
        int length = 0;
        while ((coded >> length) > 1)
            ++length;
        bits(0, length);
        bits(coded, length + 1);
    }
    // The stop bit and zero bits up to the byte boundary.
    QByteArray finish()
    {
        bit(1);
        while (used != 0)
            bit(0);
        return bytes;
    }

private:
    void bit(int value)
    {
        current = quint8(current << 1 | value);
        if (++used == 8) {
            bytes.append(char(current));
            current = 0;
            used = 0;
        }
    }
    QByteArray bytes;
    quint8 current = 0;
    int used = 0;
};

// Inserts 03 wherever two zero bytes are followed by a byte of 3 or less.
QByteArray escaped(const QByteArray& payload)
{
    QByteArray out;
    int zeros = 0;
    for (const char c : payload) {
        if (zeros >= 2 && quint8(c) <= 3) {
            out.append('\x03');
            zeros = 0;
        }
        out.append(c);
        zeros = c == 0 ? zeros + 1 : 0;
    }
    return out;
}

} // namespace

QByteArray sequenceParameterSet(quint32 width, quint32 height)
{
    const bool halvedChroma = width % 2 == 0 && height % 2 == 0;
    const quint64 unit = halvedChroma ? 2 : 1;
    const quint64 codedWidth = (quint64(width) + 7) / 8 * 8;
    const quint64 codedHeight = (quint64(height) + 7) / 8 * 8;

    BitWriter writer;
    writer.bits(0, 4); // video parameter set id
    writer.bits(0, 3); // one sub-layer
    writer.bits(1, 1); // temporal id nesting
    writer.bits(0, 2); // profile space
    writer.bits(0, 1); // tier
    writer.bits(halvedChroma ? 1 : 4, 5);
    writer.bits(0x60000000, 32);     // compatibility flags
    writer.bits(0x900000000000, 48); // constraint flags
    writer.bits(93, 8);              // level 3.1
    writer.unsignedExpGolomb(0);     // sequence parameter set id
    writer.unsignedExpGolomb(halvedChroma ? 1 : 3);
    if (!halvedChroma)
        writer.bits(0, 1); // no separate colour planes
    writer.unsignedExpGolomb(codedWidth);
    writer.unsignedExpGolomb(codedHeight);
    const bool cropped = codedWidth != width || codedHeight != height;
    writer.bits(cropped ? 1 : 0, 1);
    if (cropped) {
        writer.unsignedExpGolomb(0);
        writer.unsignedExpGolomb((codedWidth - width) / unit);
        writer.unsignedExpGolomb(0);
        writer.unsignedExpGolomb((codedHeight - height) / unit);
    }
    writer.unsignedExpGolomb(0); // 8-bit luma
    writer.unsignedExpGolomb(0); // 8-bit chroma
    return QByteArray("\x42\x01", 2) + escaped(writer.finish());
}

} // namespace vornetta::test::hevc
