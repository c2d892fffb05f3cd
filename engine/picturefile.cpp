// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/picturefile.h"

#include <QColorSpace>
#include <QFile>
#include <QImageReader>

#include "engine/exifreading.h"
#include "engine/pictureextras.h"
#include "protocol/protocol.h"

namespace {

const QByteArray kJpegSignature("\xff\xd8\xff");
const QByteArray kPngSignature("\x89PNG\r\n\x1a\n");

// The steps that show a picture stored as Exif Orientation 1 to 8 says upright.
std::vector<PictureOperation> orientationSteps(int orientation)
{
    static const char* const steps[] = {
        "",                     // 1: upright
        "mirror 1\n",           // 2: mirrored left and right
        "rotate 2\n",           // 3: upside down
        "mirror 0\n",           // 4: mirrored top and bottom
        "mirror 1\nrotate 1\n", // 5: transposed
        "rotate 3\n",           // 6: turned a quarter anticlockwise, so turned back clockwise
        "mirror 1\nrotate 3\n", // 7: transversed
        "rotate 1\n",           // 8: turned a quarter clockwise
    };
    return parsePictureOperations(steps[orientation - 1]).value_or(std::vector<PictureOperation>{});
}

PictureFile failed(const StepResult& status)
{
    return failedWith<PictureFile>(status);
}

PictureFile failed(FailureKind kind, const QString& reason)
{
    return failed(StepResult::failed(kind, reason));
}

} // namespace

PictureFileKind pictureFileKind(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return PictureFileKind::Other;
    const QByteArray start = file.read(kPngSignature.size());
    if (start.startsWith(kJpegSignature))
        return PictureFileKind::Jpeg;
    if (start == kPngSignature)
        return PictureFileKind::Png;
    return PictureFileKind::Other;
}

PictureFile readPictureFile(const QString& path, PictureFileKind kind)
{
    const bool jpeg = kind == PictureFileKind::Jpeg;
    const QString damaged = jpeg ? QStringLiteral("damaged JPEG file") : QStringLiteral("damaged PNG file");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failed(FailureKind::Input, QStringLiteral("cannot read the file"));
    // The reader of the kind the first bytes named, and no other.
    QImageReader reader(&file, jpeg ? "jpeg" : "png");
    reader.setAutoDetectImageFormat(false);
    // Qt drops the colour space when it turns a picture, and reads no orientation from PNG files: the Exif
    // read below turns both kinds alike.
    reader.setAutoTransform(false);

    // The header alone says how large the picture is: nothing larger than a stitched picture is decoded.
    const QSize size = reader.size();
    if (!size.isValid())
        return failed(FailureKind::Picture, damaged);
    if (size.width() > protocol::kMaxConvertedSide || size.height() > protocol::kMaxConvertedSide)
        return failed(StepResult::tooLarge());
    // 16-bit PNG files take twice the memory of a stitched picture; Qt's reader refuses what passes its
    // limit, which is no fault of the file.
    const qint64 bytes =
        qint64(size.width()) * size.height() * QImage::toPixelFormat(reader.imageFormat()).bitsPerPixel() / 8;
    if (QImageReader::allocationLimit() > 0 && bytes > qint64(QImageReader::allocationLimit()) * 1024 * 1024)
        return failed(StepResult::outOfMemory());

    PictureFile result;
    if (!reader.read(&result.picture))
        return failed(FailureKind::Picture, damaged);
    const QColorSpace colourSpace = result.picture.colorSpace();
    const SourceExif exif = readSourceExif(path, jpeg ? ExifContainer::Jpeg : ExifContainer::Png);
    if (!applyPictureOperations(result.picture, orientationSteps(exif.orientation)))
        return failed(StepResult::outOfMemory());
    result.picture.setColorSpace(colourSpace);
    result.exif = exif.block;
    return result;
}
