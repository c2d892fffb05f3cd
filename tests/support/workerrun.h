// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QString>

#include "engine/covertthread.h"

namespace vornetta::test {

// How one start of the worker ended.
struct WorkerRun
{
    bool ended = false;      // the run ended within its time
    int finishedSignals = 0; // how often finished() came
};

// Converts one file on the worker as the window does: the four fields in the window's order, start(), then
// a wait of at most timeoutMs.
inline WorkerRun runWorker(CovertThread& thread, int itemIndex, const QString& input, const QString& output,
                           const QString& format, int timeoutMs)
{
    QSignalSpy finished(&thread, &QThread::finished);
    thread.itemIndex = itemIndex;
    thread.inputFile = input;
    thread.outputFile = output;
    thread.format = format;
    thread.start(QThread::InheritPriority);
    WorkerRun run;
    run.ended = thread.wait(QDeadlineTimer(timeoutMs));
    run.finishedSignals = static_cast<int>(finished.count());
    return run;
}

} // namespace vornetta::test
