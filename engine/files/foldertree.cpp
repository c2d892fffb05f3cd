// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/files/foldertree.h"

#include <cerrno>
#include <memory>
#include <utility>
#include <vector>

#include <QByteArray>
#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/files/descriptor.h"
#include "engine/limits.h"

namespace {

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

} // namespace

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
            if (levels.size() > kMaxOpenFoldersWhileRemoving)
                levels[levels.size() - 1 - kMaxOpenFoldersWhileRemoving].listing.reset();
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
