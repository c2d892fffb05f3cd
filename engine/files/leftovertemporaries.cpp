// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/files/leftovertemporaries.h"

#include <ctime>

#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/files/descriptor.h"
#include "engine/limits.h"

namespace {

constexpr char kPrefix[] = ".vornetta-";
constexpr char kSuffix[] = ".tmp";
constexpr int kHexDigits = 16;

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool looksAbandoned(const struct stat& info)
{
    return S_ISREG(info.st_mode) && info.st_uid == geteuid() && info.st_nlink == 1 &&
           std::time(nullptr) - info.st_mtim.tv_sec > kAbandonedAfterSeconds;
}

// Removes the entry when it is still the abandoned file it looked like, and no save holds it.
void removeIfAbandoned(int folder, const char* name)
{
    struct stat entry
    {};
    if (fstatat(folder, name, &entry, AT_SYMLINK_NOFOLLOW) != 0 || !looksAbandoned(entry))
        return;
    // Non-blocking, in case the entry turned into a pipe since.
    const Descriptor file(openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat opened
    {};
    if (!file.isOpen() || fstat(file.get(), &opened) != 0 || !sameFile(opened, entry) ||
        !looksAbandoned(opened))
        return;
    // A file system without locks cannot tell a live save from a dead one: the file stays.
    if (flock(file.get(), LOCK_EX | LOCK_NB) != 0)
        return;
    struct stat again
    {};
    if (fstatat(folder, name, &again, AT_SYMLINK_NOFOLLOW) == 0 && sameFile(again, opened))
        unlinkat(folder, name, 0);
}

} // namespace

QByteArray newTemporaryName()
{
    return kPrefix +
           QByteArray::number(QRandomGenerator::system()->generate64(), 16).rightJustified(kHexDigits, '0') +
           kSuffix;
}

bool isTemporaryName(const QByteArray& name)
{
    const qsizetype prefix = sizeof kPrefix - 1;
    const qsizetype suffix = sizeof kSuffix - 1;
    if (name.size() != prefix + kHexDigits + suffix || !name.startsWith(kPrefix) || !name.endsWith(kSuffix))
        return false;
    for (const char c : name.mid(prefix, kHexDigits)) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return true;
}

void removeLeftoverTemporaries(int folder)
{
    // A listing of its own: the caller's descriptor stays where it is.
    const Listing listing = listingOf(openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!listing)
        return;
    while (const dirent* entry = readdir(listing.get())) {
        if (isTemporaryName(QByteArray(entry->d_name)))
            removeIfAbandoned(folder, entry->d_name);
    }
}
