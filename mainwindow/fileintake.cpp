// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/fileintake.h"

#include <algorithm>
#include <utility>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <sys/stat.h>
#include <unistd.h>

#include "core/filerules.h"
#include "core/rawpaths.h"

namespace {

// The entries of folder but the hidden ones, in the order of their names as QDir::Name sorts them.
QList<QByteArray> entriesByName(const QByteArray& folder)
{
    QList<QByteArray> names = visibleEntries(folder);
    std::sort(names.begin(), names.end(), [](const QByteArray& a, const QByteArray& b) {
        const int order = QString::fromUtf8(a).compare(QString::fromUtf8(b));
        return order != 0 ? order < 0 : a < b;
    });
    return names;
}

// One named folder's walk: its files, until the bound.
class FolderWalk final
{
public:
    explicit FolderWalk(FileIntake& intake)
        : intake(intake)
    {}

    // Whether the walk stopped at the bound.
    bool walk(const QByteArray& folder)
    {
        for (const QByteArray& name : entriesByName(folder)) {
            const QByteArray path = folder + '/' + name;
            struct stat link
            {};
            if (lstat(path.constData(), &link) != 0)
                continue;
            if (S_ISDIR(link.st_mode)) {
                if (walk(path))
                    return true;
                continue;
            }
            if (!hasHeifSuffix(name))
                continue;
            // The whole path, not the name alone: a folder on the way may have a name Qt cannot decode.
            if (!decodesWhole(path)) {
                intake.leftOut.append({QFile::decodeName(path), LeftOutReason::NotUtf8});
                continue;
            }
            struct stat target
            {};
            const QString decoded = QString::fromUtf8(path);
            if (stat(path.constData(), &target) != 0) {
                intake.leftOut.append({decoded, LeftOutReason::NotFound});
            } else if (S_ISDIR(target.st_mode)) {
                // A linked folder is not entered, so no walk can loop.
            } else if (!S_ISREG(target.st_mode)) {
                intake.leftOut.append({decoded, LeftOutReason::NotAFile});
            } else if (taken == kMostFilesFromAFolder) {
                return true;
            } else {
                intake.files.append(decoded);
                ++taken;
            }
        }
        return false;
    }

    int taken = 0;

private:
    FileIntake& intake;
};

} // namespace

FileIntake takeNamedPaths(const QList<QByteArray>& paths)
{
    FileIntake intake;
    for (const QByteArray& raw : paths) {
        if (raw.isEmpty())
            continue;
        if (!decodesWhole(raw)) {
            intake.leftOut.append({QFile::decodeName(raw), LeftOutReason::NotUtf8});
            continue;
        }
        const QString path = QDir::cleanPath(QString::fromUtf8(raw));
        const QByteArray clean = path.toUtf8();
        struct stat info
        {};
        if (stat(clean.constData(), &info) != 0) {
            intake.leftOut.append({path, LeftOutReason::NotFound});
        } else if (S_ISREG(info.st_mode)) {
            intake.files.append(path);
        } else if (!S_ISDIR(info.st_mode)) {
            intake.leftOut.append({path, LeftOutReason::NotAFile});
        } else {
            FolderWalk folder(intake);
            if (folder.walk(clean))
                intake.leftOut.append({path, LeftOutReason::TooManyFiles});
            else if (folder.taken == 0)
                intake.leftOut.append({path, LeftOutReason::NoHeifFile});
        }
    }
    return intake;
}

FileIntake takeHeicPaths(const QStringList& paths)
{
    FileIntake intake;
    for (const QString& path : paths) {
        if (path.isEmpty())
            continue;
        if (isAcceptedHeicPath(path)) {
            intake.files.append(path);
            continue;
        }
        const bool heic = QFileInfo(path).suffix().compare(QLatin1String("heic"), Qt::CaseInsensitive) == 0;
        intake.leftOut.append({path, heic ? LeftOutReason::NotFound : LeftOutReason::NotHeic});
    }
    return intake;
}

FileIntake takeDroppedUrls(const QList<QUrl>& urls)
{
    FileIntake intake;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) {
            intake.leftOut.append({url.toDisplayString(), LeftOutReason::NotAFile});
        } else if (!decodesWhole(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()))) {
            // toLocalFile() would keep such bytes as "%FF": the name of another file.
            intake.leftOut.append({url.toDisplayString(), LeftOutReason::NotUtf8});
        } else {
            const FileIntake one = takeHeicPaths({url.toLocalFile()});
            intake.files += one.files;
            intake.leftOut += one.leftOut;
        }
    }
    return intake;
}

QList<QByteArray> absolutePaths(const QList<QByteArray>& paths)
{
    QByteArray current(4096, '\0');
    if (!getcwd(current.data(), static_cast<size_t>(current.size())))
        current = QFile::encodeName(QDir::currentPath());
    current.truncate(static_cast<qsizetype>(qstrlen(current.constData())));
    QList<QByteArray> absolute;
    for (const QByteArray& path : paths)
        absolute.append(path.isEmpty() || path.startsWith('/') ? path : current + '/' + path);
    return absolute;
}
