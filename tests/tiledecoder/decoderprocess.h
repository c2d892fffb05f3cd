// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>

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

// How far our tile decoder's colours may lie from the system's ffmpeg's, in levels of any channel.
constexpr int kMaxChannelDifference = 2;

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

// Decodes tile to prefix.system.bmp with the system's ffmpeg and to prefix.ours.bmp with ours, which may
// differ by up to bound in any channel.
inline Comparison compareWithSystemFfmpeg(const QString& tile, const QString& prefix,
                                          int bound = kMaxChannelDifference)
{
    Comparison comparison;
    const QString theirs = prefix + ".system.bmp";
    comparison.ours = prefix + ".ours.bmp";
    QFile::remove(theirs); // the system's ffmpeg would not overwrite it
    const DecoderRun system =
        runDecoder(ffmpegPath(), QStringList{"-i", tile} << referenceOptions() << theirs);
    const DecoderRun own = runDecoder(ourDecoder(), {"-i", tile, comparison.ours});
    if (!system.succeeded() || !own.succeeded()) {
        comparison.failure = "system " + system.describe() + "; ours " + own.describe();
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
