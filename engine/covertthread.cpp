// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/covertthread.h"

#include "engine/conversion.h"

CovertThread::CovertThread()
    : QThread(nullptr)
{}

CovertThread::~CovertThread()
{
    // Destroying a running QThread aborts the program; a stopped run ends within a second.
    requestStop();
    wait();
}

void CovertThread::requestStop()
{
    // Cleared by every start(), and ignored while the thread does not run.
    requestInterruption();
}

void CovertThread::run()
{
    // The window names the format; a name no writer has is a failure like any other.
    const std::optional<OutputFormat> kind = parseOutputFormat(format);
    const ConversionResult result =
        kind ? convertFile(ConversionRequest{inputFile, outputFile, *kind, quality, privateWorkFolder},
                           [this] { return isInterruptionRequested(); })
             : ConversionResult{cannotWriteFormat(format), QString()};
    succeeded = result.succeeded();
    savedFile = result.outputFile;
    failureReason = result.status.reason;
}
