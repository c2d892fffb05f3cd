// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/convertinputs.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <dirent.h>
#include <sys/stat.h>

#include "cli/batchoutput.h"
#include "cli/stopsignals.h"
#include "core/rawpaths.h"
#include "engine/files/descriptor.h"

namespace {

// A path found below a named folder, and the sub-folder (relative, "" for the folder itself) it lies in.
struct FoundFile
{
    QByteArray path;
    QByteArray relative;
};

// Phones name HEIF files .heic, cameras .hif (Canon, Sony, often 10-bit), other tools .heif: a walk takes
// all three, in any case. The window keeps to .heic.
bool hasHeifSuffix(const QByteArray& name)
{
    const qsizetype dot = name.lastIndexOf('.');
    if (dot < 0)
        return false;
    const QByteArray suffix = name.mid(dot + 1).toLower();
    return suffix == "heic" || suffix == "heif" || suffix == "hif";
}

QByteArray joined(const QByteArray& folder, const QByteArray& name)
{
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

QString shown(const QByteArray& path)
{
    return QString::fromUtf8(printablePath(path));
}

// The names in the folder, hidden ones left out, in byte order; empty when it cannot be read.
QList<QByteArray> entriesOf(const QByteArray& folder, bool* readable)
{
    QList<QByteArray> names;
    const Listing listing(opendir(folder.constData()));
    *readable = listing != nullptr;
    if (!listing)
        return names;
    while (const dirent* entry = readdir(listing.get())) {
        if (entry->d_name[0] != '.')
            names.append(QByteArray(entry->d_name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The HEIF files below folder, by their bytes: names Qt cannot decode are found too.
void walk(const QByteArray& folder, const QByteArray& relative, QList<FoundFile>* found, QStringList* notes)
{
    bool readable = false;
    const QList<QByteArray> names = entriesOf(folder, &readable);
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

// The same file, however it was reached, is converted once.
QByteArray identity(const QByteArray& path)
{
    if (isValidUtf8(path)) {
        const QFileInfo info(QString::fromUtf8(path));
        const QString canonical = info.canonicalFilePath();
        return QFile::encodeName(canonical.isEmpty() ? info.absoluteFilePath() : canonical);
    }
    const std::unique_ptr<char, decltype(&std::free)> resolved(realpath(path.constData(), nullptr),
                                                               &std::free);
    return resolved ? QByteArray(resolved.get()) : path;
}

} // namespace

QList<ConvertJob> collectConvertJobs(const QList<QByteArray>& paths, const QString& outputFolder,
                                     QStringList* notes)
{
    QList<ConvertJob> jobs;
    QSet<QByteArray> seen;
    const auto add = [&](const QByteArray& input, const QByteArray& relative) {
        const QByteArray file = identity(input);
        if (seen.contains(file))
            return;
        seen.insert(file);
        ConvertJob job;
        if (!isValidUtf8(input)) {
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
