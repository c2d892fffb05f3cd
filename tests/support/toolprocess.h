// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include "tests/support/files.h"

// Runs our command-line tools (the splitter, the tile decoder) as separate processes, for the tests that
// check how they start, end and what they say.
namespace vornetta::test {

// How one run of a tool ended.
struct ToolRun
{
    bool started = false;
    bool crashed = false;
    bool timedOut = false;
    int exitCode = -1;
    QByteArray output; // standard output
    QByteArray errorOutput;

    bool succeeded() const { return started && !crashed && !timedOut && exitCode == 0; }
    // A clean failure: the given exit status and exactly one line on standard error.
    bool failedCleanly(int status = 1) const
    {
        return started && !crashed && !timedOut && exitCode == status && errorOutput.endsWith('\n') &&
               errorOutput.count('\n') == 1;
    }
    QString describe() const
    {
        return QString("started %1, crashed %2, timed out %3, exit %4: %5")
            .arg(started)
            .arg(crashed)
            .arg(timedOut)
            .arg(exitCode)
            .arg(QString::fromLocal8Bit(errorOutput).trimmed());
    }
};

// An argument vector and no standard input, as the engine starts its tools. A run longer than timeoutMs is
// killed and counted as timed out.
inline ToolRun runProgram(const QString& program, const QStringList& arguments, int timeoutMs,
                          const QString& workingDirectory = QString())
{
    ToolRun run;
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    if (!workingDirectory.isEmpty())
        process.setWorkingDirectory(workingDirectory);
    process.start(program, arguments);
    run.started = process.waitForStarted(10000);
    if (run.started && !process.waitForFinished(timeoutMs)) {
        run.timedOut = true;
        process.kill();
        process.waitForFinished();
    }
    run.crashed = process.exitStatus() == QProcess::CrashExit;
    run.exitCode = process.exitCode();
    run.output = process.readAllStandardOutput();
    run.errorOutput = process.readAllStandardError();
    return run;
}

} // namespace vornetta::test
