// vornetta-convert: the window's conversion engine for scripts and large batches.
#include <cstdio>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "cli/convertbatch.h"
#include "cli/convertinputs.h"
#include "cli/convertoptions.h"
#include "cli/stopsignals.h"

namespace {

constexpr int kAllConverted = 0;
constexpr int kSomeFailed = 1;
constexpr int kUsageError = 2;

void complain(const QString& text)
{
    std::fprintf(stderr, "vornetta-convert: %s\n", text.toLocal8Bit().constData());
}

} // namespace

int main(int argc, char* argv[])
{
    // Before anything can start a tool: from here on an interrupt stops the batch cleanly.
    installStopSignalHandlers();
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vornetta-convert"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VORNETTA_VERSION));
    QCoreApplication::addLibraryPath(QCoreApplication::applicationDirPath());

    QCommandLineParser parser;
    ConvertOptions options;
    QString error;
    switch (parseConvertArguments(parser, QCoreApplication::arguments(), &options, &error)) {
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
    const QList<ConvertJob> jobs = collectConvertJobs(options.paths, options.outputFolder, &notes);
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

    const ConvertBatchResult result = runConvertBatch(jobs, options);
    if (result.stoppedBySignal != 0) {
        std::fflush(stdout);
        endBySignal(result.stoppedBySignal);
    }
    return result.failed == 0 ? kAllConverted : kSomeFailed;
}
