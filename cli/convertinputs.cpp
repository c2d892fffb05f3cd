// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/convertinputs.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include "cli/stopsignals.h"

namespace {

// Phones name HEIF files .heic, cameras .hif (Canon, Sony, often 10-bit), other tools .heif: a walk takes
// all three, in any case. The window keeps to .heic.
bool hasHeifSuffix(const QFileInfo& entry)
{
    const QString suffix = entry.suffix().toLower();
    return suffix == QLatin1String("heic") || suffix == QLatin1String("heif") ||
           suffix == QLatin1String("hif");
}

QString joined(const QString& folder, const QString& name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

// The HEIF files below folder, as paths joined to it, and the sub-folder (relative, "" for folder
// itself) each was found in.
void walk(const QString& folder, const QString& relative, QList<QPair<QString, QString>>* found,
          QStringList* notes)
{
    if (!QFileInfo(folder).isReadable())
        notes->append(QStringLiteral("cannot read the folder %1").arg(folder));
    const QDir dir(folder);
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& entry : entries) {
        // A walk through a large tree ends at once on an interrupt.
        if (stopSignal() != 0)
            return;
        const QString path = joined(folder, entry.fileName());
        if (entry.isDir()) {
            if (!entry.isSymLink())
                walk(path, relative.isEmpty() ? entry.fileName() : relative + '/' + entry.fileName(), found,
                     notes);
        } else if (hasHeifSuffix(entry) && QFileInfo::exists(path)) {
            found->append({path, relative});
        }
    }
}

// The same file, however it was reached, is converted once.
QString identity(const QString& path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

QString ownFolder(const QString& path)
{
    return QFileInfo(path).path();
}

} // namespace

QList<ConvertJob> collectConvertJobs(const QStringList& paths, const QString& outputFolder,
                                     QStringList* notes)
{
    QList<ConvertJob> jobs;
    QSet<QString> seen;
    const auto add = [&](const QString& input, const QString& folder) {
        if (!seen.contains(identity(input))) {
            seen.insert(identity(input));
            ConvertJob job;
            job.input = input;
            job.outputFolder = folder;
            jobs.append(job);
        }
    };
    for (const QString& path : paths) {
        if (!QFileInfo(path).isDir()) {
            add(path, outputFolder.isEmpty() ? ownFolder(path) : outputFolder);
            continue;
        }
        QList<QPair<QString, QString>> found;
        walk(path, QString(), &found, notes);
        if (found.isEmpty())
            notes->append(QStringLiteral("no .heic, .heif or .hif file in %1").arg(path));
        for (const auto& [input, relative] : found) {
            if (outputFolder.isEmpty())
                add(input, ownFolder(input));
            else
                add(input, relative.isEmpty() ? outputFolder : joined(outputFolder, relative));
        }
    }
    return jobs;
}
