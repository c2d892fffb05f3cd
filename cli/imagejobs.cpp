// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/imagejobs.h"

#include "cli/stopsignals.h"
#include "engine/imagelist.h"

QList<ConvertJob> jobsForEveryImage(const QList<ConvertJob>& files)
{
    QList<ConvertJob> jobs;
    for (const ConvertJob& file : files) {
        const ImageList list = listImages(file.input, [] { return stopSignal() != 0; });
        if (stopSignal() != 0)
            break;
        if (!list.status.ok()) {
            ConvertJob failed = file;
            failed.listing = list.status;
            jobs.append(failed);
            continue;
        }
        for (int n = 0; n < list.items.size(); ++n) {
            ConvertJob job = file;
            job.item = list.items[n];
            job.image = n + 1;
            jobs.append(job);
        }
    }
    return jobs;
}
