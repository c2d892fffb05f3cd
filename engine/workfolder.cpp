#include "engine/workfolder.h"

#include <cerrno>
#include <limits>
#include <utility>
#include <vector>

#include <QCoreApplication>
#include <QFile>
#include <QLockFile>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

// flock on the private folder's own descriptor: the kernel drops it however the run ends, SIGKILL
// included, and it holds where a PID says nothing (a run in another PID namespace sharing TEMP).
class WorkFolderLock final
{
public:
    explicit WorkFolderLock(int descriptor)
        : descriptor(descriptor)
    {}
    ~WorkFolderLock() { close(descriptor); }
    WorkFolderLock(const WorkFolderLock&) = delete;
    WorkFolderLock& operator=(const WorkFolderLock&) = delete;

    // False only when another open of the folder holds the lock; a file system without flock leaves
    // the folder to the PID in its name.
    bool tryLock() const { return flock(descriptor, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK; }
    bool isOwnerOnlyFolderOfOurs() const
    {
        struct stat info
        {};
        return fstat(descriptor, &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == geteuid() &&
               (info.st_mode & 07777) == 0700;
    }

private:
    const int descriptor;
};

namespace {

// Folders the removal keeps open at once, however deep the tree.
constexpr size_t kOpenFolderLimit = 16;

class Descriptor final
{
public:
    explicit Descriptor(int descriptor)
        : descriptor(descriptor)
    {}
    ~Descriptor()
    {
        if (descriptor >= 0)
            close(descriptor);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    bool isOpen() const { return descriptor >= 0; }
    int get() const { return descriptor; }

private:
    const int descriptor;
};

struct DirCloser
{
    void operator()(DIR* dir) const { closedir(dir); }
};
using Listing = std::unique_ptr<DIR, DirCloser>;

// Takes over the descriptor, which is closed when no listing can be made of it.
Listing listingOf(int descriptor)
{
    if (descriptor < 0)
        return nullptr;
    Listing listing(fdopendir(descriptor));
    if (!listing)
        close(descriptor);
    return listing;
}

bool isDotOrDotDot(const char* name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// A folder on the removal's way down: its name in the folder above, what it is, and its listing,
// unless that was closed to spare descriptors.
struct Level
{
    QByteArray name;
    dev_t device = 0;
    ino_t inode = 0;
    Listing listing;
};

// Opens the sub-folder name of parent without following a link. A folder of ours that we may not
// enter or change is opened up first, through the descriptor, so that no link can redirect the change
// (fchmod refuses a path-only descriptor; its /proc name is that very folder).
bool openLevel(int parent, const QByteArray& name, Level* level)
{
    const Descriptor folder(openat(parent, name.constData(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat info
    {};
    if (!folder.isOpen() || fstat(folder.get(), &info) != 0 || !S_ISDIR(info.st_mode))
        return false;
    if ((info.st_mode & 0700) != 0700 && info.st_uid == geteuid())
        chmod(("/proc/self/fd/" + QByteArray::number(folder.get())).constData(), 0700);
    level->name = name;
    level->device = info.st_dev;
    level->inode = info.st_ino;
    level->listing = listingOf(openat(folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return level->listing != nullptr;
}

// Opens again a level closed to spare descriptors, as ".." of the open level below it, and only when
// that is still the same folder: one moved elsewhere meanwhile stops the removal.
bool reopenLevel(Level* level, const Level& below)
{
    Listing listing = listingOf(openat(dirfd(below.listing.get()), "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat info
    {};
    if (!listing || fstat(dirfd(listing.get()), &info) != 0 || info.st_dev != level->device ||
        info.st_ino != level->inode)
        return false;
    level->listing = std::move(listing);
    return true;
}

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

bool belongsToAnotherUser(const QString& path)
{
    struct stat info
    {};
    return lstat(QFile::encodeName(path).constData(), &info) == 0 && info.st_uid != geteuid();
}

// TEMP/Brembloc, or TEMP/Brembloc-UID when another user has taken the first name: anyone can make it in
// a shared temporary folder, and it must not stop our conversions. A link or file of ours stays refused.
bool ensureBremblocFolder(const QString& tempFolder, QString* path, QString* reason)
{
    *path = tempFolder + QStringLiteral("/Brembloc");
    if (ensureOwnFolder(*path, reason))
        return true;
    if (!belongsToAnotherUser(*path))
        return false;
    *path += QLatin1Char('-') + QString::number(geteuid());
    return ensureOwnFolder(*path, reason);
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

std::unique_ptr<WorkFolderLock> openFolderLock(const QString& path)
{
    const int descriptor =
        open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    return descriptor < 0 ? nullptr : std::make_unique<WorkFolderLock>(descriptor);
}

// The PID in a private folder's name, thumb-PID as written by this program, or 0 for any other name.
pid_t pidInName(const char* name)
{
    const QByteArray entry(name);
    if (!entry.startsWith("thumb-"))
        return 0;
    const QByteArray digits = entry.mid(6);
    bool ok = false;
    const qint64 pid = digits.toLongLong(&ok);
    if (!ok || pid <= 0 || pid > std::numeric_limits<pid_t>::max() || QByteArray::number(pid) != digits)
        return 0;
    return static_cast<pid_t>(pid);
}

// A run killed outright (SIGKILL, a power cut) leaves its private folder, tiles and all, for good. One
// goes when it is a real, owner-only folder of ours, no process of its PID lives, and nobody holds its
// lock: a PID reused by another program keeps it (harmless), and the lock keeps the folder of a live run
// whose PID we cannot see, or that another preparation is removing right now.
void removeAbandonedFolders(const QString& folder)
{
    const Listing listing = listingOf(
        open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!listing)
        return;
    const pid_t own = static_cast<pid_t>(QCoreApplication::applicationPid());
    while (const dirent* entry = readdir(listing.get())) {
        const pid_t pid = pidInName(entry->d_name);
        if (pid == 0 || pid == own || kill(pid, 0) == 0 || errno != ESRCH)
            continue;
        const QString path = folder + QLatin1Char('/') + QFile::decodeName(entry->d_name);
        // Held while the folder goes, so that a run starting now with a reused PID waits its turn.
        const auto lock = openFolderLock(path);
        if (!lock || !lock->isOwnerOnlyFolderOfOurs() || !lock->tryLock())
            continue;
        removeFolderTree(path);
    }
}

} // namespace

WorkFolder::WorkFolder(bool alwaysPrivate)
    : alwaysPrivate(alwaysPrivate)
{}

WorkFolder::~WorkFolder()
{
    // The lock, a member, outlives the removal, so that no other run takes the folder half-removed.
    if (privateFolder && !folder.isEmpty())
        removeFolderTree(folder);
}

QString prepareWorkFolder(WorkFolder& holder, const QString& tempFolder)
{
    holder.folder.clear();
    holder.reason.clear();
    holder.privateFolder = false;
    holder.lock.reset();
    holder.privateLock.reset();

    QString temp = tempFolder;
    while (temp.size() > 1 && temp.endsWith('/'))
        temp.chop(1);
    QString path;
    QString reason;
    if (!ensureBremblocFolder(temp, &path, &reason)) {
        holder.reason = reason;
        return {};
    }
    path += QStringLiteral("/Vornetta");
    if (!ensureOwnFolder(path, &reason)) {
        holder.reason = reason;
        return {};
    }
    removeAbandonedFolders(path);

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
        // A folder of our PID that is locked belongs to a live run we cannot see, or is being removed.
        const auto leftover = openFolderLock(work);
        if (leftover && !leftover->tryLock()) {
            holder.reason = QStringLiteral("cannot lock the work folder");
            return {};
        }
    }

    if (!clearFolder(work, &reason) || !ensureOwnFolder(work, &reason)) {
        holder.reason = reason;
        return {};
    }
    if (!lock) {
        auto privateLock = openFolderLock(work);
        if (!privateLock || !privateLock->tryLock()) {
            holder.reason = QStringLiteral("cannot lock the work folder");
            return {};
        }
        holder.privateLock = std::move(privateLock);
        holder.privateFolder = true;
    }
    holder.lock = std::move(lock);
    holder.folder = work;
    return work;
}

bool removeFolderTree(const QString& folder)
{
    QByteArray path = QFile::encodeName(folder);
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray name = path.mid(slash + 1);
    if (name.isEmpty() || name == "." || name == "..")
        return false;
    // The folder itself is found from its parent, as each folder below it is.
    const Descriptor parent(open(slash < 0    ? "."
                                 : slash == 0 ? "/"
                                              : path.left(slash).constData(),
                                 O_PATH | O_DIRECTORY | O_CLOEXEC));
    struct stat info
    {};
    if (!parent.isOpen() || fstatat(parent.get(), name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    if (S_ISLNK(info.st_mode))
        return unlinkat(parent.get(), name.constData(), 0) == 0;
    if (!S_ISDIR(info.st_mode))
        return false;

    // Depth first; each folder goes as soon as it is empty, from the folder above it.
    std::vector<Level> levels(1);
    if (!openLevel(parent.get(), name, &levels.front()))
        return false;
    while (!levels.empty()) {
        DIR* const dir = levels.back().listing.get();
        errno = 0;
        if (const dirent* entry = readdir(dir)) {
            if (isDotOrDotDot(entry->d_name))
                continue;
            struct stat entryInfo
            {};
            if (fstatat(dirfd(dir), entry->d_name, &entryInfo, AT_SYMLINK_NOFOLLOW) != 0)
                return false;
            if (!S_ISDIR(entryInfo.st_mode)) {
                if (unlinkat(dirfd(dir), entry->d_name, 0) != 0)
                    return false;
                continue;
            }
            Level below;
            if (!openLevel(dirfd(dir), entry->d_name, &below))
                return false;
            levels.push_back(std::move(below));
            if (levels.size() > kOpenFolderLimit)
                levels[levels.size() - 1 - kOpenFolderLimit].listing.reset();
            continue;
        }
        if (errno != 0)
            return false;
        int above = parent.get();
        if (levels.size() > 1) {
            Level& up = levels[levels.size() - 2];
            if (!up.listing && !reopenLevel(&up, levels.back()))
                return false;
            above = dirfd(up.listing.get());
        }
        const QByteArray empty = levels.back().name;
        levels.pop_back();
        if (unlinkat(above, empty.constData(), AT_REMOVEDIR) != 0)
            return false;
    }
    return true;
}
