// SPDX-License-Identifier: GPL-3.0-or-later
// vornetta-convert: the window's conversion engine for scripts and large batches.
#include <cstdio>

#include <malloc.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "cli/convertbatch.h"
#include "cli/convertinputs.h"
#include "cli/convertoptions.h"
#include "cli/imagejobs.h"
#include "cli/stopsignals.h"

namespace {

constexpr int kAllConverted = 0;
constexpr int kSomeFailed = 1;
constexpr int kUsageError = 2;

// Blocks up to this size come from the heap, where freed memory is kept for the next file: a 12-megapixel
// picture and its turned copy, with room to spare.
constexpr int kLargestHeapBlock = 256 * 1024 * 1024;

void complain(const QString& text)
{
    std::fprintf(stderr, "vornetta-convert: %s\n", text.toLocal8Bit().constData());
}

} // namespace

int main(int argc, char* argv[])
{
    // The pictures of a batch are alike in size. Freed pictures stay in the heap for the next file, which
    // spares the kernel faulting in and clearing tens of megabytes for every file; one arena for all the
    // threads keeps what is held to about the pictures of the files in flight.
    mallopt(M_ARENA_MAX, 1);
    mallopt(M_MMAP_THRESHOLD, kLargestHeapBlock);
    mallopt(M_TRIM_THRESHOLD, 2 * kLargestHeapBlock);
    // Before anything can start a tool: from here on an interrupt stops the batch cleanly.
    installStopSignalHandlers();
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vornetta-convert"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VORNETTA_VERSION));
    QCoreApplication::addLibraryPath(QCoreApplication::applicationDirPath());

    QCommandLineParser parser;
    ConvertOptions options;
    QString error;
    // The arguments as given: Qt's own decoding turns bytes that are not UTF-8 into U+FFFD, naming nothing.
    QList<QByteArray> arguments;
    for (int n = 0; n < argc; ++n)
        arguments.append(QByteArray(argv[n]));
    switch (parseConvertArguments(parser, arguments, &options, &error)) {
    case ConvertCommand::ShowHelp:
        parser.showHelp(kAllConverted);
    case ConvertCommand::ShowVersion:
        parser.showVersion();
    case ConvertCommand::UsageError:
        complain(error);
        std::fputs("Try 'vornetta-convert --help' for more information.\n", stderr);
        return kUsageError;
    case ConvertCommand::Run:
        break;
    }

    QStringList notes;
    QList<ConvertJob> jobs = collectConvertJobs(options.paths, options.outputFolder, &notes);
    if (stopSignal() != 0)
        endBySignal(stopSignal());
    for (const QString& note : notes)
        complain(note);
    if (jobs.isEmpty()) {
        complain(QStringLiteral("no HEIC file to convert"));
        return kSomeFailed;
    }
    if (!options.outputFolder.isEmpty() &&
        (!QDir().mkpath(options.outputFolder) || !QFileInfo(options.outputFolder).isDir())) {
        complain(QStringLiteral("cannot make the output folder %1").arg(options.outputFolder));
        return kUsageError;
    }
    if (options.allImages) {
        jobs = jobsForEveryImage(jobs);
        if (stopSignal() != 0)
            endBySignal(stopSignal());
    }

    const ConvertBatchResult result = runConvertBatch(jobs, options);
    if (result.stoppedBySignal != 0) {
        std::fflush(stdout);
        endBySignal(result.stoppedBySignal);
    }
    return result.failed == 0 ? kAllConverted : kSomeFailed;
}
