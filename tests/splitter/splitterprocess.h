#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include "tests/support/heicfixtures.h"
#include "tests/support/testenvironment.h"

// Runs the real heic/heic and reads back what it wrote, for the splitter's process-level tests.
namespace vornetta::test {

struct SplitterRun
{
    bool started = false;
    bool crashed = false;
    bool timedOut = false;
    int exitCode = -1;
    QByteArray errorOutput;
    qint64 milliseconds = 0;

    bool succeeded() const { return started && !crashed && !timedOut && exitCode == 0; }
    // A clean failure: the given status (1 for a bad file, 3 for an output that cannot be written) and
    // exactly one line on standard error.
    bool failedCleanly(int status = 1) const
    {
        return started && !crashed && !timedOut && exitCode == status && errorOutput.endsWith('\n') &&
               errorOutput.count('\n') == 1;
    }
};

inline QString splitterPath()
{
    return programFolder() + "/heic/heic";
}

inline SplitterRun runSplitter(const QStringList& arguments, int timeoutMs = 10000)
{
    SplitterRun run;
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(splitterPath(), arguments);
    run.started = process.waitForStarted(5000);
    if (run.started && !process.waitForFinished(timeoutMs)) {
        run.timedOut = true;
        process.kill();
        process.waitForFinished();
    }
    run.milliseconds = timer.elapsed();
    run.crashed = process.exitStatus() == QProcess::CrashExit;
    run.exitCode = process.exitCode();
    run.errorOutput = process.readAllStandardError();
    return run;
}

inline SplitterRun runSplitter(const QString& input, const QString& prefix)
{
    return runSplitter(QStringList{input, prefix});
}

inline QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The information text the splitter must write for a grid of rows x cols.
inline QByteArray expectedInfo(int width, int height, int rows, int cols)
{
    QByteArray text =
        QString("width=%1\nheight=%2\nrow=%3\ncol=%4\n").arg(width).arg(height).arg(rows).arg(cols).toUtf8();
    for (int n = 1; n <= rows * cols; ++n) {
        text += QByteArray::number(n) + ',';
    }
    return text + '\n';
}

// A fresh, empty folder for one run's output.
inline QString freshFolder(const QString& name)
{
    QDir folder(QDir::temp().filePath(name));
    folder.removeRecursively();
    QDir().mkpath(folder.path());
    return folder.path();
}

} // namespace vornetta::test
