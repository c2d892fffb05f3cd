#include "cli/convertbatch.h"

#include <cstdio>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

#include "cli/stopsignals.h"
#include "core/filerules.h"
#include "engine/conversion.h"

namespace {

// A path as the bytes the file system knows it by, whatever the locale, with control characters escaped so
// that every file stays on one line: \n, \t, \\ for a backslash, \xHH for the others.
QByteArray printablePath(const QString& path)
{
    QByteArray printable;
    for (const char c : QFile::encodeName(path)) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\')
            printable += "\\\\";
        else if (c == '\n')
            printable += "\\n";
        else if (c == '\t')
            printable += "\\t";
        else if (byte < 0x20 || byte == 0x7f)
            printable += "\\x" + QByteArray::number(byte, 16).rightJustified(2, '0');
        else
            printable += c;
    }
    return printable;
}

void writeLine(const QByteArray& line)
{
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stdout);
    std::fputc('\n', stdout);
    // A script reading the lines sees each file as soon as it is done.
    std::fflush(stdout);
}

class ProgressLine final
{
public:
    explicit ProgressLine(int total)
        : total(total)
        , shown(isatty(STDERR_FILENO) == 1)
    {}
    ~ProgressLine() { clear(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void show(int number) const
    {
        if (shown)
            std::fprintf(stderr, "\r[%d/%d]", number, total);
    }
    // Before a result line, so that the count never mixes with it on the terminal.
    void clear() const
    {
        if (shown)
            std::fputs("\r\033[K", stderr);
    }

private:
    const int total;
    const bool shown;
};

} // namespace

ConvertBatchResult runConvertBatch(const QList<ConvertJob>& jobs, const ConvertOptions& options)
{
    ConvertBatchResult result;
    const ProgressLine progress(static_cast<int>(jobs.size()));
    const StopCheck stop = [] { return stopSignal() != 0; };

    for (int n = 0; n < jobs.size(); ++n) {
        if (stop())
            break;
        const ConvertJob& job = jobs[n];
        progress.show(n + 1);
        // Mirrored sub-folders below the output folder; a file's own folder is never made.
        if (!options.outputFolder.isEmpty())
            QDir().mkpath(job.outputFolder);
        // The first free name now; should another program take it meanwhile, the next one is taken.
        const ConversionRequest request{job.input,
                                        freeOutputName(job.outputFolder, job.input, options.format),
                                        options.format, options.quality, true};
        const ConversionResult converted = convertFile(request, stop);
        progress.clear();
        if (converted.succeeded()) {
            ++result.converted;
            writeLine(printablePath(QDir::cleanPath(converted.outputFile)));
        } else {
            ++result.failed;
            writeLine(printablePath(job.input) + '\t' + converted.status.reason.toUtf8());
        }
    }
    result.stoppedBySignal = stopSignal();
    return result;
}
