// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/convertbatch.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include <QDir>
#include <QSet>

#include "cli/batchoutput.h"
#include "cli/stopsignals.h"
#include "core/filerules.h"
#include "engine/conversion.h"

namespace {

using namespace std::chrono_literals;

// How often the printing thread looks for a stop signal while it waits for the next file.
constexpr std::chrono::milliseconds kStopPollInterval = 50ms;

// Conversions on worker threads that take the files in order; the results wait to be printed in order.
class Batch final
{
public:
    Batch(const QList<ConvertJob>& jobs, const ConvertOptions& options)
        : jobs(jobs)
        , options(options)
        , results(static_cast<size_t>(jobs.size()))
    {}
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;
    ~Batch()
    {
        for (std::thread& worker : workers)
            worker.join();
    }

    void start(int count)
    {
        const int wanted = std::min<int>(count, static_cast<int>(jobs.size()));
        while (static_cast<int>(workers.size()) < wanted)
            workers.emplace_back([this] { work(); });
    }

    // The result of file n once it is done; nothing when it was never started (a stop came first).
    std::optional<ConversionResult> resultOf(size_t n)
    {
        std::unique_lock<std::mutex> lock(mutex);
        while (!results[n] && (n < started || endedWorkers < workers.size()))
            done.wait_for(lock, kStopPollInterval);
        return results[n];
    }

private:
    static bool stopped() { return stopSignal() != 0; }

    void work()
    {
        for (;;) {
            size_t n = 0;
            ConversionRequest request;
            {
                const std::lock_guard<std::mutex> lock(mutex);
                if (started >= results.size() || stopped())
                    break;
                n = started++;
                const ConvertJob& job = jobs[static_cast<int>(n)];
                if (!job.listing.ok()) {
                    results[n] = ConversionResult{job.listing, QString()};
                    done.notify_all();
                    continue;
                }
                request = requestFor(job);
            }
            ConversionResult result = convertFile(request, &Batch::stopped);
            const std::lock_guard<std::mutex> lock(mutex);
            reserved.remove(request.output);
            results[n] = std::move(result);
            done.notify_all();
        }
        const std::lock_guard<std::mutex> lock(mutex);
        ++endedWorkers;
        done.notify_all();
    }

    // Called in the files' order, under the lock: the first free name, passing over the names that files
    // still in flight will take, so each file gets the name it would get one after another.
    ConversionRequest requestFor(const ConvertJob& job)
    {
        // Mirrored sub-folders below the output folder; a file's own folder is never made.
        if (!options.outputFolder.isEmpty())
            QDir().mkpath(job.outputFolder);
        const QString output = freeOutputName(
            job.outputFolder, job.input, outputFormatName(options.format),
            [this](const QString& path) { return reserved.contains(path); }, job.image);
        reserved.insert(output);
        return ConversionRequest{job.input, output,       options.format, options.quality,
                                 true,      options.srgb, job.item,       options.depth != 8};
    }

    const QList<ConvertJob>& jobs;
    const ConvertOptions& options;
    std::mutex mutex;
    std::condition_variable done;
    std::vector<std::optional<ConversionResult>> results;
    size_t started = 0;
    size_t endedWorkers = 0;
    QSet<QString> reserved;
    std::vector<std::thread> workers;
};

} // namespace

ConvertBatchResult runConvertBatch(const QList<ConvertJob>& jobs, const ConvertOptions& options)
{
    ConvertBatchResult result;
    const ProgressLine progress(static_cast<int>(jobs.size()));
    Batch batch(jobs, options);
    batch.start(options.jobs);
    for (int n = 0; n < jobs.size(); ++n) {
        progress.show(n + 1);
        const std::optional<ConversionResult> converted = batch.resultOf(static_cast<size_t>(n));
        progress.clear();
        if (!converted)
            break;
        if (converted->succeeded()) {
            ++result.converted;
            writeLine(printablePath(QDir::cleanPath(converted->outputFile)));
        } else {
            ++result.failed;
            const ConvertJob& job = jobs[n];
            // The primary picture fails as the file does without --all-images; the others say which they are.
            const QString reason =
                job.image > 1 ? QStringLiteral("image %1: %2").arg(job.image).arg(converted->status.reason)
                              : converted->status.reason;
            const QByteArray input =
                job.undecodablePath.isEmpty() ? printablePath(job.input) : printablePath(job.undecodablePath);
            writeLine(input + '\t' + reason.toUtf8());
        }
    }
    result.stoppedBySignal = stopSignal();
    return result;
}
