// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/imagesaver.h"

#include <cerrno>
#include <cstdio>

#include <QFile>
#include <QFileDevice>
#include <QImageWriter>
#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/exifembedding.h"

namespace {

// However busy the folder, a free name turns up long before this.
constexpr int kMostNamesTried = 100000;

SaveResult failed(const StepResult& status)
{
    return failedWith<SaveResult>(status);
}

SaveResult failed(FailureKind kind, const QString& reason)
{
    return failed(StepResult::failed(kind, reason));
}

SaveResult cannotWrite()
{
    return failed(FailureKind::Output, QStringLiteral("cannot write to the output folder"));
}

} // namespace

// A new file of a random short name in the folder, removed again unless it was moved to its name. The name
// is short so that it fits beside the longest final names.
class EncodedPicture::TemporaryFile final
{
public:
    explicit TemporaryFile(int folder)
        : folder(folder)
    {
        for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
            name = QStringLiteral(".vornetta-%1.tmp")
                       .arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'))
                       .toLatin1();
            fd = ::openat(folder, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          0666);
            if (fd < 0 && errno != EEXIST)
                break;
        }
    }
    ~TemporaryFile()
    {
        if (fd >= 0)
            ::close(fd);
        if (!moved && !name.isEmpty())
            ::unlinkat(folder, name.constData(), 0);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool isOpen() const { return fd >= 0; }
    int handle() const { return fd; }
    bool close()
    {
        const bool closed = ::close(fd) == 0;
        fd = -1;
        return closed;
    }

    // Gives the file the name, unless something, even a dangling link, is there: 0, or errno.
    int moveTo(const QByteArray& target)
    {
        if (::renameat2(folder, name.constData(), folder, target.constData(), RENAME_NOREPLACE) == 0) {
            moved = true;
            return 0;
        }
        if (errno != EINVAL && errno != ENOSYS)
            return errno;
        // File systems that refuse the flag still refuse to link over an existing entry.
        if (::linkat(folder, name.constData(), folder, target.constData(), 0) != 0)
            return errno;
        moved = true;
        ::unlinkat(folder, name.constData(), 0);
        return 0;
    }

private:
    const int folder;
    QByteArray name;
    int fd = -1;
    bool moved = false;
};

namespace {

// Gives the open file the other file's modification time, to the nanosecond. Best effort: a file that
// cannot be read has no time to give.
void copyModificationTime(const QString& from, int fd)
{
    struct stat source = {};
    if (from.isEmpty() || ::stat(QFile::encodeName(from).constData(), &source) != 0)
        return;
    const struct timespec times[2] = {{0, UTIME_OMIT}, source.st_mtim};
    ::futimens(fd, times);
}

} // namespace

EncodedPicture::EncodedPicture(const QImage& image, const OutputNames& names, const QByteArray& format,
                               int quality)
    : names(names)
    , format(format)
    , size(image.size())
    , folder(::open(QFile::encodeName(names.folder()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
    if (folder.isOpen())
        temporary = std::make_unique<TemporaryFile>(folder.get());
    if (!temporary || !temporary->isOpen()) {
        encoded = cannotWrite().status;
        return;
    }
    QFile file;
    if (!file.open(temporary->handle(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle)) {
        encoded = cannotWrite().status;
        return;
    }
    QImageWriter writer(&file, format);
    if (!writer.canWrite()) {
        encoded = StepResult::failed(
            FailureKind::Output, QStringLiteral("cannot write %1 files").arg(QString::fromLatin1(format)));
        return;
    }
    writer.setQuality(quality);
    if (!writer.write(image) || !file.flush())
        encoded = cannotWrite().status;
}

EncodedPicture::~EncodedPicture() = default;

SaveResult EncodedPicture::finish(const StopCheck& stop, const SaveExtras& extras)
{
    if (!encoded.ok())
        return failed(encoded);
    const QByteArray kind = format.toUpper();
    const bool withExif = !extras.exif.isEmpty() && (kind == "JPG" || kind == "JPEG" || kind == "PNG");
    if (withExif && embedExifInFile(temporary->handle(), extras.exif, size, extras.exifColourSpace) ==
                        ExifEmbedding::CannotWrite)
        return cannotWrite();
    if (stop && stop())
        return failed(StepResult::stopped());
    copyModificationTime(extras.modificationTimeFrom, temporary->handle());
    if (::fsync(temporary->handle()) != 0 || !temporary->close())
        return cannotWrite();

    for (int n = 0; n < kMostNamesTried; ++n) {
        const int error = temporary->moveTo(QFile::encodeName(names.fileName(n)));
        if (error == 0) {
            SaveResult result;
            result.path = names.path(n);
            return result;
        }
        if (error != EEXIST)
            return cannotWrite();
    }
    return cannotWrite();
}

SaveResult saveImage(QImage image, const OutputNames& names, const QByteArray& format, const StopCheck& stop,
                     const SaveExtras& extras)
{
    EncodedPicture encoded(image, names, format, extras.quality);
    // The encoded file is all that is needed from here on.
    image = QImage();
    return encoded.finish(stop, extras);
}
