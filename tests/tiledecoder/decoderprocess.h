#pragma once

#include <cmath>

#include <QFile>
#include <QImage>

#include "fixtures/heicfixtures.h"
#include "tests/support/testenvironment.h"
#include "tests/support/toolprocess.h"

// Runs the program folder's ffmpeg (our tile decoder) and the system's, as the engine runs them, and
// compares what they write.
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

struct Comparison
{
    QString failure; // empty when both decoded the tile to pictures of at least 50 dB PSNR
    QString ours;    // our BMP
    QSize size;
    double psnr = 0;
    bool sameBytes = false;

    QString describe() const
    {
        return QString("PSNR %1 dB%2")
            .arg(std::isinf(psnr) ? QString("inf") : QString::number(psnr, 'f', 2))
            .arg(sameBytes ? ", byte-identical BMP" : "");
    }
};

// Decodes tile to prefix.system.bmp with the system's ffmpeg and to prefix.ours.bmp with ours.
inline Comparison compareWithSystemFfmpeg(const QString& tile, const QString& prefix)
{
    Comparison comparison;
    const QString theirs = prefix + ".system.bmp";
    comparison.ours = prefix + ".ours.bmp";
    QFile::remove(theirs); // the system's ffmpeg would not overwrite it
    const DecoderRun system = runDecoder(ffmpegPath(), {"-i", tile, theirs});
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
    comparison.sameBytes = readAll(theirs) == readAll(comparison.ours);
    if (comparison.psnr < 50)
        comparison.failure = comparison.describe();
    return comparison;
}

} // namespace vornetta::test
