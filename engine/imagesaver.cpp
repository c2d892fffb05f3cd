#include "engine/imagesaver.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QSaveFile>

#include <sys/stat.h>

#include "engine/exifembedding.h"

namespace {

bool fail(QString* reason, const QString& text)
{
    if (reason)
        *reason = text;
    return false;
}

// Gives the open file the other file's modification time, to the nanosecond. Best effort: a file that
// cannot be read has no time to give.
void copyModificationTime(const QString& from, QSaveFile& file)
{
    struct stat source = {};
    if (from.isEmpty() || ::stat(QFile::encodeName(from).constData(), &source) != 0 || !file.flush())
        return;
    const struct timespec times[2] = {{0, UTIME_OMIT}, source.st_mtim};
    ::futimens(file.handle(), times);
}

} // namespace

bool saveImageReplacing(const QImage& image, const QString& path, const QByteArray& format,
                        const StopCheck& stop, QString* reason, const SaveExtras& extras)
{
    QSaveFile file(path);
    // Never write straight into the final name, even where a temporary file cannot be made.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return fail(reason, QStringLiteral("cannot write to the output folder"));
    const QByteArray kind = format.toUpper();
    const bool withExif = !extras.exif.isEmpty() && (kind == "JPG" || kind == "JPEG" || kind == "PNG");
    // With Exif the file is made in memory first: Exiv2 rewrites it as a whole.
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(withExif ? static_cast<QIODevice*>(&buffer) : &file, format);
    if (!writer.canWrite()) {
        file.cancelWriting();
        return fail(reason, QStringLiteral("cannot write %1 files").arg(QString::fromLatin1(format)));
    }
    writer.setQuality(extras.quality);
    if (!writer.write(image)) {
        file.cancelWriting();
        return fail(reason, QStringLiteral("cannot write to the output folder"));
    }
    if (withExif) {
        buffer.close();
        embedExif(encoded, extras.exif, image.size());
        if (file.write(encoded) != encoded.size()) {
            file.cancelWriting();
            return fail(reason, QStringLiteral("cannot write to the output folder"));
        }
    }
    if (stop && stop()) {
        file.cancelWriting();
        return fail(reason, QStringLiteral("stopped"));
    }
    copyModificationTime(extras.modificationTimeFrom, file);
    if (!file.commit())
        return fail(reason, QStringLiteral("cannot write to the output folder"));
    return true;
}
