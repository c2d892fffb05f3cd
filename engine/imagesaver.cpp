#include "engine/imagesaver.h"

#include <cerrno>
#include <cstdio>

#include <QFile>
#include <QFileDevice>
#include <QImageWriter>

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
        file = std::make_unique<OutputFile>(folder.get());
    if (!file || file->creationError() != 0) {
        encoded = cannotWrite().status;
        return;
    }
    QFile output;
    if (!output.open(file->handle(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle)) {
        encoded = cannotWrite().status;
        return;
    }
    QImageWriter writer(&output, format);
    if (!writer.canWrite()) {
        encoded = StepResult::failed(
            FailureKind::Output, QStringLiteral("cannot write %1 files").arg(QString::fromLatin1(format)));
        return;
    }
    writer.setQuality(quality);
    if (!writer.write(image) || !output.flush())
        encoded = cannotWrite().status;
}

EncodedPicture::~EncodedPicture() = default;

SaveResult EncodedPicture::finish(const StopCheck& stop, const SaveExtras& extras)
{
    if (!encoded.ok())
        return failed(encoded);
    const QByteArray kind = format.toUpper();
    const bool withExif = !extras.exif.isEmpty() && (kind == "JPG" || kind == "JPEG" || kind == "PNG");
    if (withExif && embedExifInFile(file->handle(), extras.exif, size, extras.exifColourSpace) ==
                        ExifEmbedding::CannotWrite)
        return cannotWrite();
    if (stop && stop())
        return failed(StepResult::stopped());
    copyModificationTime(extras.modificationTimeFrom, file->handle());
    if (::fsync(file->handle()) != 0)
        return cannotWrite();

    for (int n = 0; n < kMostNamesTried; ++n) {
        const int error = file->takeName(QFile::encodeName(names.fileName(n)));
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
