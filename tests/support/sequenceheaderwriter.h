#pragma once

#include <QByteArray>

// Writes HEVC sequence parameter sets that declare any picture size, so tests can make tiles whose streams
// claim another size than their file says without encoding anything.
namespace vornetta::test::hevc {

// A sequence parameter set NAL unit (two-byte header, emulation prevention, no start code) for a
// width x height picture: coded in whole 8 x 8 blocks with a conformance window cutting it to the size,
// 4:2:0 when both sides are even, 4:4:4 otherwise, 8 bits. It holds the fields up to the bit depths and
// the trailing bits: enough for anything that reads sizes, not for a decoder.
QByteArray sequenceParameterSet(quint32 width, quint32 height);

} // namespace vornetta::test::hevc
