// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>

#include "cli/convertinputs.h"
#include "cli/convertoptions.h"

// How a batch ended.
struct ConvertBatchResult
{
    int converted = 0;
    int failed = 0;
    int stoppedBySignal = 0; // the signal that stopped the batch early, or 0
};

// Converts the jobs with the window's conversion, options.jobs of them in flight at once, each in a work
// folder of its own, into the first free name of its output folder (the name it would get were the files
// converted one after another). Writes one line per file to standard output, in the jobs' order: the
// converted file's path, or the input path, a tab and why it failed ("image N: " first for a file's
// picture N from 2 on). While standard error is a terminal
// a progress count "[n/total]" stands on its last line. A stop signal ends the running conversions
// (reported as failed) and starts no further one.
ConvertBatchResult runConvertBatch(const QList<ConvertJob>& jobs, const ConvertOptions& options);
