// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/picture/imagesaver.h"

#include <cerrno>

#include <QFile>
#include <QImageWriter>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/files/descriptordevice.h"
#include "engine/limits.h"
#include "engine/picture/exifembedding.h"

namespace {

SaveResult failed(const StepResult& status)
{
    return failedWith<SaveResult>(status);
}

qint64 fileSize(int fd)
{
    struct stat info
    {};
    return fstat(fd, &info) == 0 ? info.st_size : -1;
}

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

EncodedPicture::EncodedPicture(const QImage& image, const OutputNames& names, OutputFormat format,
                               int quality)
    : names(names)
    , format(format)
    , size(image.size())
    , folder(::open(QFile::encodeName(names.folder()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
    if (!folder.isOpen()) {
        encoded = outputWriteFailure(errno);
        return;
    }
    file = std::make_unique<OutputFile>(folder.get());
    if (file->creationError() != 0) {
        encoded = outputWriteFailure(file->creationError());
        return;
    }
    DescriptorDevice device(file->handle());
    device.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    QImageWriter writer(&device, outputFormatName(format).toLatin1());
    if (!writer.canWrite()) {
        encoded = cannotWriteFormat(outputFormatName(format));
        return;
    }
    writer.setQuality(quality);
    // Qt's writers do not all look at what a write returns: the device remembers.
    if (!writer.write(image) || device.writeError() != 0)
        encoded = outputWriteFailure(device.writeError());
    encodedBytes = device.written();
}

EncodedPicture::~EncodedPicture() = default;

SaveResult EncodedPicture::finish(const StopCheck& stop, const SaveExtras& extras)
{
    if (!encoded.ok())
        return failed(encoded);
    const int fd = file->handle();
    // BMP files carry no Exif.
    const bool withExif = !extras.exif.isEmpty() && format != OutputFormat::Bmp;
    qint64 expectedSize = encodedBytes;
    if (withExif) {
        const ExifEmbeddingResult exif = embedExifInFile(fd, extras.exif, size, extras.exifColourSpace);
        if (exif.outcome == ExifEmbedding::CannotWrite)
            return failed(outputWriteFailure(exif.error));
        if (exif.outcome == ExifEmbedding::Embedded && exif.fileSize >= 0)
            expectedSize = exif.fileSize;
    }
    if (stop && stop())
        return failed(StepResult::stopped());
    copyModificationTime(extras.modificationTimeFrom, fd);
    // A file cut short by anything that did not say so is not a picture to hand out.
    if (fileSize(fd) != expectedSize)
        return failed(outputWriteFailure(0));
    // Written in the end, but the disk may still be out of room for what was put off.
    if (::fsync(fd) != 0)
        return failed(outputWriteFailure(errno));

    for (int n = 0; n < kMostOutputNamesTried; ++n) {
        const int error = file->takeName(QFile::encodeName(names.fileName(n)));
        if (error == 0) {
            SaveResult result;
            result.path = names.path(n);
            return result;
        }
        if (error != EEXIST)
            return failed(outputWriteFailure(error));
    }
    return failed(outputWriteFailure(0));
}

SaveResult saveImage(QImage image, const OutputNames& names, OutputFormat format, const StopCheck& stop,
                     const SaveExtras& extras)
{
    EncodedPicture encoded(image, names, format, extras.quality);
    // The encoded file is all that is needed from here on.
    image = QImage();
    return encoded.finish(stop, extras);
}
