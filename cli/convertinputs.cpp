// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/convertinputs.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <sys/stat.h>

#include "cli/batchoutput.h"
#include "cli/stopsignals.h"
#include "core/rawpaths.h"

namespace {

// A path found below a named folder, and the sub-folder (relative, "" for the folder itself) it lies in.
struct FoundFile
{
    QByteArray path;
    QByteArray relative;
};

QByteArray joined(const QByteArray& folder, const QByteArray& name)
{
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

QString shown(const QByteArray& path)
{
    return QString::fromUtf8(printablePath(path));
}

// The HEIF files below folder, by their bytes: names Qt cannot decode are found too.
void walk(const QByteArray& folder, const QByteArray& relative, QList<FoundFile>* found, QStringList* notes)
{
    bool readable = false;
    const QList<QByteArray> names = visibleEntries(folder, &readable);
    if (!readable)
        notes->append(QStringLiteral("cannot read the folder %1").arg(shown(folder)));
    for (const QByteArray& name : names) {
        // A walk through a large tree ends at once on an interrupt.
        if (stopSignal() != 0)
            return;
        const QByteArray path = joined(folder, name);
        struct stat target
        {};
        struct stat entry
        {};
        // What a link leads to counts, as for a file named on the command line; a link to nowhere is nothing.
        if (stat(path.constData(), &target) != 0 || lstat(path.constData(), &entry) != 0)
            continue;
        if (S_ISDIR(target.st_mode)) {
            if (!S_ISLNK(entry.st_mode))
                walk(path, relative.isEmpty() ? name : relative + '/' + name, found, notes);
        } else if (hasHeifSuffix(name)) {
            found->append({path, relative});
        }
    }
}

bool isFolder(const QByteArray& path)
{
    struct stat info
    {};
    return stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

QList<ConvertJob> collectConvertJobs(const QList<QByteArray>& paths, const QString& outputFolder,
                                     QStringList* notes)
{
    QList<ConvertJob> jobs;
    QSet<QByteArray> seen;
    const auto add = [&](const QByteArray& input, const QByteArray& relative) {
        // The same file, however it was reached, is converted once.
        const QByteArray file = fileIdentity(input);
        if (seen.contains(file))
            return;
        seen.insert(file);
        ConvertJob job;
        if (!decodesWhole(input)) {
            job.undecodablePath = input;
            job.listing =
                StepResult::failed(FailureKind::Input, QStringLiteral("the file name is not valid UTF-8"));
            jobs.append(job);
            return;
        }
        job.input = QString::fromUtf8(input);
        if (outputFolder.isEmpty())
            job.outputFolder = QFileInfo(job.input).path();
        else if (relative.isEmpty())
            job.outputFolder = outputFolder;
        else
            job.outputFolder = QString::fromUtf8(joined(QFile::encodeName(outputFolder), relative));
        jobs.append(job);
    };
    for (const QByteArray& path : paths) {
        if (!isFolder(path)) {
            add(path, {});
            continue;
        }
        QList<FoundFile> found;
        walk(path, {}, &found, notes);
        if (found.isEmpty())
            notes->append(QStringLiteral("no .heic, .heif or .hif file in %1").arg(shown(path)));
        for (const FoundFile& file : found)
            add(file.path, file.relative);
    }
    return jobs;
}
