// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <QFile>
#include <QFileInfo>
#include <QImage>

#include "fixtures/heicfixtures.h"
#include "tests/support/testenvironment.h"
#include "tests/support/toolprocess.h"

// Runs the program folder's ffmpeg (our tile decoder) as the engine runs it, and the system's, and compares
// what they write.
namespace vornetta::test {

using DecoderRun = ToolRun;

// An argument vector, the program folder as working folder, no input, as the engine starts a decoder.
inline DecoderRun runDecoder(const QString& program, const QStringList& arguments, int timeoutMs = 60000)
{
    return runProgram(program, arguments, timeoutMs, programFolder());
}

inline QString ourDecoder()
{
    return programFolder() + "/ffmpeg";
}

// How far our tile decoder's colours may lie from the system's ffmpeg's, in levels of any channel (8-bit
// levels; a level is 257 in the 16-bit form).
constexpr int kMaxChannelDifference = 2;

// The two command lines the engine gives: `-i TILE OUT.bmp`, and `-i TILE -pix_fmt rgb48be OUT.ppm`.
enum class TileForm { Bmp, Ppm16 };

// The system's ffmpeg as reference for our decoder: converting accurately (its default conversion of 8-bit
// 4:2:0 and 4:2:2 is up to 3 levels off) and with each chroma sample covering its own luma samples, as ours
// does (by default it interpolates chroma in some formats and not in others). A program folder whose
// ffmpeg is the system's is compared with the system's as the engine runs it.
inline QStringList referenceOptions()
{
    if (QFileInfo(ourDecoder()).isSymLink())
        return {};
    return {"-sws_flags", "accurate_rnd+full_chroma_int+neighbor"};
}

// The samples of a 16-bit PPM as ffmpeg writes it ("P6\nW H\n65535\n", big-endian red, green, blue), and its
// header; empty when it is not one.
struct Ppm16
{
    QByteArray header;
    QSize size;
    QList<quint16> samples;
};

inline Ppm16 readPpm16(const QByteArray& bytes)
{
    qsizetype end = -1;
    for (int line = 0; line < 3 && (end = bytes.indexOf('\n', end + 1)) >= 0;)
        ++line;
    const QList<QByteArray> fields = bytes.left(qMax<qsizetype>(end, 0)).simplified().split(' ');
    if (end < 0 || fields.size() != 4 || fields[0] != "P6" || fields[3] != "65535" ||
        bytes.size() - end - 1 != 6 * fields[1].toLongLong() * fields[2].toLongLong())
        return {};
    Ppm16 ppm{bytes.left(end + 1), QSize(fields[1].toInt(), fields[2].toInt()), {}};
    for (qsizetype at = end + 1; at + 1 < bytes.size(); at += 2)
        ppm.samples.append(quint16(quint8(bytes[at]) << 8 | quint8(bytes[at + 1])));
    return ppm;
}

struct Comparison
{
    QString failure; // empty when both decoded the tile and no channel differs by more than the bound
    QString ours;    // our BMP
    QSize size;
    double psnr = 0;
    int largestDifference = 0;
    bool sameBytes = false;

    QString describe() const
    {
        return QString("PSNR %1 dB, channels at most %2 apart%3")
            .arg(std::isinf(psnr) ? QString("inf") : QString::number(psnr, 'f', 2))
            .arg(largestDifference)
            .arg(sameBytes ? ", byte-identical BMP" : "");
    }
};

// The 16-bit files must have the same layout, header and all, and samples at most bound levels apart.
inline void comparePpm16(const QByteArray& theirs, const QByteArray& ours, int bound, Comparison& comparison)
{
    const Ppm16 expected = readPpm16(theirs);
    const Ppm16 actual = readPpm16(ours);
    if (expected.header.isEmpty() || expected.header != actual.header) {
        comparison.failure =
            "headers " + expected.header.toPercentEncoding() + " and " + actual.header.toPercentEncoding();
        return;
    }
    double squares = 0;
    int largest = 0;
    for (qsizetype n = 0; n < expected.samples.size(); ++n) {
        const int difference = std::abs(int(expected.samples[n]) - int(actual.samples[n]));
        largest = std::max(largest, difference);
        squares += double(difference) * difference;
    }
    comparison.size = actual.size;
    comparison.sameBytes = theirs == ours;
    comparison.largestDifference = (largest + 256) / 257;
    comparison.psnr = squares == 0
                          ? qInf()
                          : 10 * std::log10(65535.0 * 65535.0 * double(expected.samples.size()) / squares);
    if (largest > bound * 257)
        comparison.failure = comparison.describe() + QString(" (%1 in 16 bits)").arg(largest);
}

// Decodes tile to prefix.system.bmp (.ppm) with the system's ffmpeg and to prefix.ours.bmp (.ppm) with ours,
// which may differ by up to bound levels in any channel.
inline Comparison compareWithSystemFfmpeg(const QString& tile, const QString& prefix,
                                          int bound = kMaxChannelDifference, TileForm form = TileForm::Bmp)
{
    Comparison comparison;
    const QString suffix = form == TileForm::Bmp ? ".bmp" : ".ppm";
    const QStringList pixelFormat =
        form == TileForm::Bmp ? QStringList() : QStringList{"-pix_fmt", "rgb48be"};
    const QString theirs = prefix + ".system" + suffix;
    comparison.ours = prefix + ".ours" + suffix;
    QFile::remove(theirs); // the system's ffmpeg would not overwrite it
    const DecoderRun system =
        runDecoder(ffmpegPath(), QStringList{"-i", tile} << referenceOptions() << pixelFormat << theirs);
    const DecoderRun own =
        runDecoder(ourDecoder(), QStringList{"-i", tile} << pixelFormat << comparison.ours);
    if (!system.succeeded() || !own.succeeded()) {
        comparison.failure = "system " + system.describe() + "; ours " + own.describe();
        return comparison;
    }
    if (form == TileForm::Ppm16) {
        comparePpm16(fileBytes(theirs), fileBytes(comparison.ours), bound, comparison);
        return comparison;
    }
    const QImage expected(theirs);
    const QImage actual(comparison.ours);
    comparison.size = actual.size();
    if (expected.isNull() || actual.size() != expected.size()) {
        comparison.failure = QString("sizes %1x%2 and %3x%4")
                                 .arg(expected.width())
                                 .arg(expected.height())
                                 .arg(actual.width())
                                 .arg(actual.height());
        return comparison;
    }
    comparison.psnr = psnr(expected, actual);
    comparison.largestDifference = largestChannelDifference(expected, actual);
    comparison.sameBytes = fileBytes(theirs) == fileBytes(comparison.ours);
    if (comparison.largestDifference > bound)
        comparison.failure = comparison.describe();
    return comparison;
}

} // namespace vornetta::test
