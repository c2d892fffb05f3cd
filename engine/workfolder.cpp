#include "engine/workfolder.h"

#include <vector>

#include <QCoreApplication>
#include <QFile>
#include <QLockFile>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct DirCloser
{
    void operator()(DIR* dir) const { closedir(dir); }
};

// Makes the folder when missing and checks that it is a real folder of ours, made owner-only.
bool ensureOwnFolder(const QString& path, QString* reason)
{
    const QByteArray name = QFile::encodeName(path);
    if (mkdir(name.constData(), 0700) != 0 && errno != EEXIST) {
        *reason = QStringLiteral("cannot create the work folder");
        return false;
    }
    struct stat info
    {};
    if (lstat(name.constData(), &info) != 0) {
        *reason = QStringLiteral("cannot create the work folder");
        return false;
    }
    if (S_ISLNK(info.st_mode)) {
        *reason = QStringLiteral("the work folder is a link");
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        *reason = QStringLiteral("the work folder is not a folder");
        return false;
    }
    if (info.st_uid != geteuid()) {
        *reason = QStringLiteral("the work folder belongs to another user");
        return false;
    }
    if ((info.st_mode & 07777) != 0700 && chmod(name.constData(), 0700) != 0) {
        *reason = QStringLiteral("cannot make the work folder private");
        return false;
    }
    return true;
}

// A leftover of an earlier run goes, unless it is a link or foreign: that is left alone and refused.
bool clearFolder(const QString& path, QString* reason)
{
    struct stat info
    {};
    if (lstat(QFile::encodeName(path).constData(), &info) != 0)
        return true;
    if (S_ISLNK(info.st_mode)) {
        *reason = QStringLiteral("the work folder is a link");
        return false;
    }
    if (info.st_uid != geteuid()) {
        *reason = QStringLiteral("the work folder belongs to another user");
        return false;
    }
    if (!removeFolderTree(path)) {
        *reason = QStringLiteral("cannot empty the work folder");
        return false;
    }
    return true;
}

} // namespace

WorkFolder::WorkFolder(bool alwaysPrivate)
    : alwaysPrivate(alwaysPrivate)
{}

WorkFolder::~WorkFolder()
{
    if (privateFolder && !folder.isEmpty())
        removeFolderTree(folder);
}

QString prepareWorkFolder(WorkFolder& holder, const QString& tempFolder)
{
    holder.folder.clear();
    holder.reason.clear();
    holder.privateFolder = false;
    holder.lock.reset();

    QString path = tempFolder;
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    QString reason;
    for (const char* name : {"Brembloc", "Vornetta"}) {
        path += QLatin1Char('/') + QLatin1String(name);
        if (!ensureOwnFolder(path, &reason)) {
            holder.reason = reason;
            return {};
        }
    }

    auto lock = std::make_unique<QLockFile>(path + QStringLiteral("/thumb.lock"));
    // A conversion may take minutes; only a dead owner makes the lock stale.
    lock->setStaleLockTime(0);
    QString work = path + QStringLiteral("/thumb");
    if (holder.alwaysPrivate || !lock->tryLock(0)) {
        if (!holder.alwaysPrivate && lock->error() != QLockFile::LockFailedError) {
            holder.reason = QStringLiteral("cannot lock the work folder");
            return {};
        }
        lock.reset();
        work += QLatin1Char('-') + QString::number(QCoreApplication::applicationPid());
        holder.privateFolder = true;
    }

    if (!clearFolder(work, &reason) || !ensureOwnFolder(work, &reason)) {
        holder.reason = reason;
        holder.privateFolder = false;
        return {};
    }
    holder.lock = std::move(lock);
    holder.folder = work;
    return work;
}

bool removeFolderTree(const QString& folder)
{
    const QByteArray top = QFile::encodeName(folder);
    struct stat info
    {};
    if (lstat(top.constData(), &info) != 0)
        return false;
    if (S_ISLNK(info.st_mode))
        return unlink(top.constData()) == 0;
    if (!S_ISDIR(info.st_mode))
        return false;

    // Breadth first, the list growing as the walk finds folders; then the folders go deepest first.
    std::vector<QByteArray> folders{top};
    for (size_t i = 0; i < folders.size(); ++i) {
        const int fd = open(folders[i].constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            return false;
        const std::unique_ptr<DIR, DirCloser> dir(fdopendir(fd));
        if (!dir) {
            close(fd);
            return false;
        }
        while (const dirent* entry = readdir(dir.get())) {
            const QByteArray name(entry->d_name);
            if (name == "." || name == "..")
                continue;
            struct stat entryInfo
            {};
            if (fstatat(fd, entry->d_name, &entryInfo, AT_SYMLINK_NOFOLLOW) != 0)
                return false;
            if (S_ISDIR(entryInfo.st_mode)) {
                // A folder of ours that we may not enter or change is opened up so that it can go.
                if ((entryInfo.st_mode & 0700) != 0700 && entryInfo.st_uid == geteuid())
                    fchmodat(fd, entry->d_name, 0700, 0);
                folders.push_back(folders[i] + '/' + name);
            } else if (unlinkat(fd, entry->d_name, 0) != 0)
                return false;
        }
    }
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
        if (rmdir(it->constData()) != 0)
            return false;
    }
    return true;
}
