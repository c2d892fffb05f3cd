// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/picture/derivedfile.h"

#include "engine/files/smallfile.h"
#include "protocol/protocol.h"

namespace {

// The line's numbers after its keyword, count of them, each from low to high.
std::optional<QList<qint64>> numbers(const QByteArray& line, const char* keyword, int count, qint64 low,
                                     qint64 high)
{
    const QList<QByteArray> fields = line.split(' ');
    if (fields.size() != count + 1 || fields[0] != keyword)
        return std::nullopt;
    QList<qint64> values;
    for (int n = 1; n <= count; ++n) {
        const std::optional<qint64> value = decimalField(fields[n], low, high);
        if (!value)
            return std::nullopt;
        values.append(*value);
    }
    return values;
}

} // namespace

std::optional<DerivedPicture> parseDerivedPicture(const QByteArray& text)
{
    if (!text.endsWith('\n'))
        return std::nullopt;
    const QList<QByteArray> lines = text.chopped(1).split('\n');
    if (lines.size() < 4 || lines.size() > 3 + qsizetype(protocol::kMaxOverlayInputs))
        return std::nullopt;
    DerivedPicture picture;
    if (lines[0] != "derived iovl" && lines[0] != "derived iden")
        return std::nullopt;
    picture.identity = lines[0] == "derived iden";
    const auto canvas = numbers(lines[1], "canvas", 2, 1, protocol::kMaxConvertedSide);
    const auto fill = numbers(lines[2], "fill", 4, 0, 65535);
    if (!canvas || !fill)
        return std::nullopt;
    picture.canvas = QSize(int(canvas->at(0)), int(canvas->at(1)));
    for (int n = 0; n < 4; ++n)
        picture.fill[size_t(n)] = quint16(fill->at(n));
    for (qsizetype n = 3; n < lines.size(); ++n) {
        const auto input = numbers(lines[n], "input", 3, -(qint64(1) << 31), 0xffffffffll);
        if (!input || input->at(0) < 1 || input->at(1) >= (qint64(1) << 31) ||
            input->at(2) >= (qint64(1) << 31))
            return std::nullopt;
        picture.inputs.append(DerivedInput{quint32(input->at(0)), input->at(1), input->at(2)});
    }
    // An identity shows its one input as it is.
    if (picture.identity && picture.inputs.size() != 1)
        return std::nullopt;
    return picture;
}
