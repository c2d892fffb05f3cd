// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/files/workfolder.h"

#include <cerrno>
#include <ctime>
#include <limits>
#include <mutex>
#include <set>
#include <utility>
#include <vector>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/files/descriptor.h"
#include "engine/files/foldertree.h"
#include "engine/limits.h"

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

std::unique_ptr<WorkFolderLock> openFolderLock(const QString& path)
{
    const int descriptor =
        open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    return descriptor < 0 ? nullptr : std::make_unique<WorkFolderLock>(descriptor);
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

bool isRealFolderOfOurs(const QString& path)
{
    struct stat info
    {};
    return lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == geteuid();
}

bool belongsToAnotherUser(const QString& path)
{
    struct stat info
    {};
    return lstat(QFile::encodeName(path).constData(), &info) == 0 && info.st_uid != geteuid();
}

// The shared work folder: TEMP/Brembloc (or Brembloc-UID)/Vornetta/thumb, held by Vornetta/thumb.lock.
constexpr QLatin1String kMakerFolder("/Brembloc");
constexpr QLatin1String kProductFolder("/Vornetta");
constexpr QLatin1String kSharedFolder("/thumb");
constexpr QLatin1String kSharedFolderLock("/thumb.lock");

// The temporary folder as the caller named it, without trailing slashes ("/" stays).
QString withoutTrailingSlashes(QString path)
{
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    return path;
}

// TEMP/Brembloc, or TEMP/Brembloc-UID when another user has taken the first name: anyone can make it in
// a shared temporary folder, and it must not stop our conversions. A link or file of ours stays refused.
// When the second name is another user's as well, fresh says so and the caller makes a folder of its own.
bool ensureBremblocFolder(const QString& tempFolder, QString* path, bool* fresh, QString* reason)
{
    *fresh = false;
    *path = tempFolder + kMakerFolder;
    if (ensureOwnFolder(*path, reason))
        return true;
    if (!belongsToAnotherUser(*path))
        return false;
    *path += QLatin1Char('-') + QString::number(geteuid());
    if (ensureOwnFolder(*path, reason))
        return true;
    if (!belongsToAnotherUser(*path))
        return false;
    reason->clear();
    *fresh = true;
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

// The PID in a private folder's name, thumb-PID or thumb-PID-N; 0 for any other name.
pid_t pidInName(const char* name)
{
    const QByteArray entry(name);
    if (!entry.startsWith("thumb-"))
        return 0;
    QByteArray digits = entry.mid(6);
    const qsizetype dash = digits.indexOf('-');
    if (dash >= 0) {
        bool numbered = false;
        const QByteArray slot = digits.mid(dash + 1);
        if (slot.toInt(&numbered) < 2 || !numbered || QByteArray::number(slot.toInt()) != slot)
            return 0;
        digits.truncate(dash);
    }
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
        // Our own PID's folders belong to conversions running in this process right now.
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

// Whether the name is one mkdtemp gives for TEMP/Brembloc-UID-XXXXXX.
bool isFreshFolderName(const QByteArray& name)
{
    const QByteArray prefix = "Brembloc-" + QByteArray::number(geteuid()) + '-';
    return name.size() == prefix.size() + 6 && name.startsWith(prefix);
}

// Fresh folders of runs killed outright: ours, owner-only, untouched for a minute and unlocked. The minute
// spares a run that has made its folder and not yet locked it.
void removeAbandonedFreshFolders(const QString& tempFolder)
{
    const Listing listing =
        listingOf(open(QFile::encodeName(tempFolder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!listing)
        return;
    while (const dirent* entry = readdir(listing.get())) {
        struct stat info
        {};
        if (!isFreshFolderName(QByteArray(entry->d_name)) ||
            fstatat(dirfd(listing.get()), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 ||
            std::time(nullptr) - info.st_mtim.tv_sec < kAbandonedAfterSeconds)
            continue;
        const QString path = tempFolder + QLatin1Char('/') + QFile::decodeName(entry->d_name);
        const auto lock = openFolderLock(path);
        if (lock && lock->isOwnerOnlyFolderOfOurs() && lock->tryLock())
            removeFolderTree(path);
    }
}

// The private folders in use by this process's conversions: slot 1 is thumb-PID, slot n thumb-PID-n.
std::mutex slotMutex;
std::set<int> slotsInUse;

int takePrivateSlot()
{
    const std::lock_guard<std::mutex> lock(slotMutex);
    int slot = 1;
    while (slotsInUse.count(slot) != 0)
        ++slot;
    slotsInUse.insert(slot);
    return slot;
}

void releasePrivateSlot(int slot)
{
    const std::lock_guard<std::mutex> lock(slotMutex);
    slotsInUse.erase(slot);
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
    releasePrivateSlot(privateSlot);
    if (!freshFolder.isEmpty())
        removeFolderTree(freshFolder);
}

Result<QString> prepareWorkFolder(WorkFolder& holder, const QString& tempFolder)
{
    const auto failure = [](const QString& reason) {
        return StepResult::failed(FailureKind::WorkFolder, reason);
    };
    holder.folder.clear();
    holder.privateFolder = false;
    holder.lock.reset();
    holder.privateLock.reset();
    releasePrivateSlot(holder.privateSlot);
    holder.privateSlot = 0;
    if (!holder.freshFolder.isEmpty())
        removeFolderTree(holder.freshFolder);
    holder.freshFolder.clear();
    holder.freshLock.reset();

    const QString temp = withoutTrailingSlashes(tempFolder);
    QString path;
    QString reason;
    bool fresh = false;
    if (!ensureBremblocFolder(temp, &path, &fresh, &reason))
        return failure(reason);
    if (fresh) {
        removeAbandonedFreshFolders(temp);
        QByteArray pattern = QFile::encodeName(path + QStringLiteral("-XXXXXX"));
        if (!mkdtemp(pattern.data()))
            return failure(QStringLiteral("cannot create the work folder"));
        path = QFile::decodeName(pattern);
        holder.freshFolder = path;
        holder.freshLock = openFolderLock(path);
        if (!holder.freshLock || !holder.freshLock->tryLock() || !ensureOwnFolder(path, &reason))
            return failure(reason.isEmpty() ? QStringLiteral("cannot lock the work folder") : reason);
    }
    path += kProductFolder;
    if (!ensureOwnFolder(path, &reason))
        return failure(reason);
    removeAbandonedFolders(path);

    auto lock = std::make_unique<QLockFile>(path + kSharedFolderLock);
    // A conversion may take minutes; only a dead owner makes the lock stale.
    lock->setStaleLockTime(0);
    QString work = path + kSharedFolder;
    if (holder.alwaysPrivate || !lock->tryLock(0)) {
        if (!holder.alwaysPrivate && lock->error() != QLockFile::LockFailedError)
            return failure(QStringLiteral("cannot lock the work folder"));
        lock.reset();
        holder.privateSlot = takePrivateSlot();
        work += QLatin1Char('-') + QString::number(QCoreApplication::applicationPid());
        // Conversions at once in one process (vornetta-convert keeps several in flight) each need their own.
        if (holder.privateSlot > 1)
            work += QLatin1Char('-') + QString::number(holder.privateSlot);
        // A folder of our PID that is locked belongs to a live run we cannot see, or is being removed.
        const auto leftover = openFolderLock(work);
        if (leftover && !leftover->tryLock())
            return failure(QStringLiteral("cannot lock the work folder"));
    }

    if (!clearFolder(work, &reason) || !ensureOwnFolder(work, &reason))
        return failure(reason);
    if (!lock) {
        auto privateLock = openFolderLock(work);
        if (!privateLock || !privateLock->tryLock())
            return failure(QStringLiteral("cannot lock the work folder"));
        holder.privateLock = std::move(privateLock);
        holder.privateFolder = true;
    }
    holder.lock = std::move(lock);
    holder.folder = work;
    return work;
}

bool removeSharedWorkFolder(const QString& tempFolder)
{
    QString maker = withoutTrailingSlashes(tempFolder) + kMakerFolder;
    if (belongsToAnotherUser(maker))
        maker += QLatin1Char('-') + QString::number(geteuid());
    const QString product = maker + kProductFolder;
    if (!QFileInfo::exists(product))
        return true;
    if (!isRealFolderOfOurs(maker) || !isRealFolderOfOurs(product))
        return false;
    // A conversion of ours or of another window holds it: that run empties it, not us.
    QLockFile lock(product + kSharedFolderLock);
    lock.setStaleLockTime(0);
    QString reason;
    return lock.tryLock(0) && clearFolder(product + kSharedFolder, &reason);
}
