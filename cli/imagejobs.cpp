// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/imagejobs.h"

#include "cli/stopsignals.h"
#include "engine/imagelist.h"

QList<ConvertJob> jobsForEveryImage(const QList<ConvertJob>& files)
{
    QList<ConvertJob> jobs;
    for (const ConvertJob& file : files) {
        if (!file.listing.ok()) {
            jobs.append(file);
            continue;
        }
        const ImageList list = listImages(file.input, [] { return stopSignal() != 0; });
        if (stopSignal() != 0)
            break;
        if (!list.status.ok()) {
            ConvertJob failed = file;
            failed.listing = list.status;
            jobs.append(failed);
            continue;
        }
        for (int n = 0; n < list.images.size(); ++n) {
            ConvertJob job = file;
            job.item = list.images[n].item;
            job.image = n + 1;
            // Nothing is decoded for it.
            if (!list.images[n].withinBudget)
                job.listing = StepResult::failed(FailureKind::Picture,
                                                 QStringLiteral("the file's work budget is spent"));
            jobs.append(job);
        }
    }
    return jobs;
}
