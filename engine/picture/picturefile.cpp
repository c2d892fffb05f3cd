// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/picture/picturefile.h"

#include <QColorSpace>
#include <QFile>
#include <QScopeGuard>

#include "engine/picture/exifreading.h"
#include "engine/picture/pictureextras.h"
#include "engine/picture/readerfiles.h"
#include "engine/process/toolfailure.h"
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

PictureFile readPictureFile(const QString& path, PictureFileKind kind, const QString& workFolder,
                            const StopCheck& stop)
{
    const bool jpeg = kind == PictureFileKind::Jpeg;
    const QString prefix = workFolder + "/" + protocol::kReadPicturePrefix;
    // Whatever the reader wrote goes with this call, however the reader ended: a stopped one leaves its part.
    const auto removeFiles = qScopeGuard([&prefix] { removeReaderFiles(prefix); });
    const ToolRun run = runPictureReader(QFile::encodeName(path).toStdString(),
                                         QFile::encodeName(prefix).toStdString(), stop);
    const StepResult ran = toolRunFailure(run, Tool::PictureReader);
    if (!ran.ok())
        return failed(ran);
    switch (run.exitStatus) {
    case protocol::kReadDone:
        break;
    case protocol::kReadRefused:
        return failed(FailureKind::Picture,
                      jpeg ? QStringLiteral("damaged JPEG file") : QStringLiteral("damaged PNG file"));
    case protocol::kReadTooLarge:
        return failed(StepResult::tooLarge());
    case protocol::kReadOutOfMemory:
        return failed(StepResult::outOfMemory());
    case protocol::kReadCannotWrite:
        return failed(StepResult::workFolderUnwritable());
    default:
        return failed(FailureKind::Tool, toolName(Tool::PictureReader) + QStringLiteral(" failed"));
    }

    ReaderPicture read = readReaderFiles(prefix);
    if (!read.status.ok())
        return failed(read.status);
    PictureFile result;
    result.picture = std::move(read.picture);
    const QColorSpace colourSpace = result.picture.colorSpace();
    const SourceExif exif = readSourceExif(path, jpeg ? ExifContainer::Jpeg : ExifContainer::Png);
    if (!applyPictureOperations(result.picture, orientationSteps(exif.orientation)))
        return failed(StepResult::outOfMemory());
    // Qt drops the colour space when it turns a picture.
    result.picture.setColorSpace(colourSpace);
    result.exif = exif.block;
    return result;
}
