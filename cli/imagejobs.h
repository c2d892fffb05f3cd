// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>

#include "cli/convertinputs.h"

// The jobs with one job for every picture of each file (--all-images), in the files' order: the primary
// first, named as without the option, then the others in the splitter's order, numbered from 2
// (ConvertJob::image). A picture beyond the file's work budget (imagelist.h) is a job that fails with "the
// file's work budget is spent", converting nothing. A file whose pictures cannot be listed is one job that
// fails with the reason, as is a job that failed already. A stop signal ends the listing early.
QList<ConvertJob> jobsForEveryImage(const QList<ConvertJob>& files);
