// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/files/outputfile.h"

#include <cerrno>
#include <mutex>
#include <set>
#include <string>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/files/leftovertemporaries.h"
#include "engine/limits.h"

namespace {

// Output folders this process has already cleared of leftovers, by device and inode: each is looked at
// once, so that a batch into a large folder does not list it for every file.
std::mutex clearedMutex;
std::set<std::pair<dev_t, ino_t>> clearedFolders;

void clearLeftoversOnce(int folder)
{
    struct stat info
    {};
    if (fstat(folder, &info) != 0)
        return;
    {
        const std::lock_guard<std::mutex> lock(clearedMutex);
        if (!clearedFolders.insert({info.st_dev, info.st_ino}).second)
            return;
    }
    removeLeftoverTemporaries(folder);
}

// File systems without files of no name say so; kernels older than them take the flag for a folder.
bool unnamedFilesRefused(int error)
{
    return error == EOPNOTSUPP || error == EISDIR;
}

} // namespace

OutputFile::OutputFile(int folder)
    : folder(folder)
{
    clearLeftoversOnce(folder);
    // The name is given through /proc at the end: without it, the file gets a name of its own from the start.
    if (access("/proc/self/fd", X_OK) == 0) {
        fd = openat(folder, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
        if (fd >= 0 || !unnamedFilesRefused(errno)) {
            error = fd >= 0 ? 0 : errno;
            return;
        }
    }
    for (int attempt = 0; attempt < kMostTemporaryNamesTried && fd < 0; ++attempt) {
        temporaryName = newTemporaryName();
        fd = openat(folder, temporaryName.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                    0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        error = errno;
        temporaryName.clear();
        return;
    }
    // Tells a later save that this file is not a leftover, however long it takes. Best effort: where the
    // file system has no locks, the later save leaves every such file alone.
    flock(fd, LOCK_EX | LOCK_NB);
}

OutputFile::~OutputFile()
{
    if (!named && !temporaryName.isEmpty())
        unlinkat(folder, temporaryName.constData(), 0);
    if (fd >= 0)
        close(fd);
}

int OutputFile::link(const QByteArray& name)
{
    if (temporaryName.isEmpty()) {
        // The file's own entry in /proc names it, whatever its folder holds.
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        return linkat(AT_FDCWD, self.c_str(), folder, name.constData(), AT_SYMLINK_FOLLOW) == 0 ? 0 : errno;
    }
    if (renameat2(folder, temporaryName.constData(), folder, name.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // File systems that refuse the flag still refuse to link over an existing entry.
    if (linkat(folder, temporaryName.constData(), folder, name.constData(), 0) != 0)
        return errno;
    unlinkat(folder, temporaryName.constData(), 0);
    return 0;
}

int OutputFile::takeName(const QByteArray& name)
{
    const int linked = link(name);
    if (linked != 0)
        return linked;
    named = true;
    struct stat file
    {};
    fstat(fd, &file);
    if (close(std::exchange(fd, -1)) == 0)
        return 0;
    const int closeError = errno;
    // The data may not all be there after all: the name goes again, while it still names this file.
    struct stat entry
    {};
    if (fstatat(folder, name.constData(), &entry, AT_SYMLINK_NOFOLLOW) == 0 && entry.st_dev == file.st_dev &&
        entry.st_ino == file.st_ino)
        unlinkat(folder, name.constData(), 0);
    return closeError;
}

StepResult outputWriteFailure(int error)
{
    if (error == ENOSPC || error == EDQUOT || error == EFBIG)
        return StepResult::failed(FailureKind::Output, QStringLiteral("not enough disk space"));
    return StepResult::failed(FailureKind::Output, QStringLiteral("cannot write to the output folder"));
}
