// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/conversion.h"

#include <algorithm>
#include <atomic>
#include <mutex>

#include <QColorSpace>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <unistd.h>

#include "engine/derivedpicture.h"
#include "engine/files/sourcefile.h"
#include "engine/files/workfolder.h"
#include "engine/limits.h"
#include "engine/picture/backgroundbmp.h"
#include "engine/picture/bmpwriter.h"
#include "engine/picture/imagesaver.h"
#include "engine/picture/pictureextras.h"
#include "engine/picture/picturefile.h"
#include "engine/picture/srgbconversion.h"
#include "engine/tiles/tilestitcher.h"
#include "protocol/protocol.h"

namespace {

std::atomic<long long> conversionLimitMs{kConversionTimeLimit.count()};

void allowTheLargestPicture()
{
    static std::once_flag once;
    std::call_once(once, [] {
        if (QImageReader::allocationLimit() > 0)
            QImageReader::setAllocationLimit(std::max(QImageReader::allocationLimit(), kImageReadLimitMiB));
    });
}

// The stitched picture, whole, or why there is none to save.
StepResult stitchStep(const StitchResult& stitched)
{
    if (!stitched.status.ok())
        return stitched.status;
    // An incomplete picture is not saved at all.
    if (stitched.missingCells > 0)
        return StepResult::failed(
            FailureKind::Picture,
            stitched.missingCells == 1
                ? QStringLiteral("1 tile could not be decoded")
                : QStringLiteral("%1 tiles could not be decoded").arg(stitched.missingCells));
    if (stitched.picture.isNull())
        return StepResult::failed(FailureKind::WorkFolder,
                                  QStringLiteral("cannot read the stitched picture"));
    return {};
}

// The last steps before the save, the same for every kind of file: the upright picture in sRGB when asked,
// and a last look at the stop check.
StepResult finishPicture(QImage& image, const QColorSpace& source, const ConversionRequest& request,
                         const StopCheck& stop)
{
    if (request.srgb) {
        const StepResult converted = convertToSrgb(image, source);
        if (!converted.ok())
            return converted;
    }
    if (stop && stop())
        return StepResult::stopped();
    return {};
}

SaveExtras saveExtras(const ConversionRequest& request, const QByteArray& exif, const QString& source)
{
    return SaveExtras{exif, source, request.quality,
                      request.srgb ? ExifColourSpace::Srgb : ExifColourSpace::AsTaken};
}

// A JPEG or PNG file: read by the picture reader in the work folder, without the splitter and the decoders.
ConversionResult convertPictureFile(const ConversionRequest& request, PictureFileKind kind,
                                    const QString& source, const StopCheck& stop)
{
    ConversionResult result;
    PictureFile file;
    {
        WorkFolder work(request.privateWorkFolder);
        const Result<QString> folder = prepareWorkFolder(work);
        if (!folder.ok()) {
            result.status = folder.status;
            return result;
        }
        file = readPictureFile(source, kind, folder.value, stop);
    }
    result.status = file.status;
    if (result.status.ok())
        result.status = finishPicture(file.picture, file.picture.colorSpace(), request, stop);
    if (!result.status.ok())
        return result;
    const SaveResult saved =
        saveImage(std::move(file.picture), OutputNames::from(request.output, request.input), request.format,
                  stop, saveExtras(request, file.exif, source));
    result.status = saved.status;
    result.outputFile = saved.path;
    return result;
}

// The file's picture split and stitched in the work folder, an overlay or identity composed from its inputs.
// Only PNG files carry what the colour needs more than 8 bits for, and transparency: for JPG and BMP files
// the alpha planes are left undecoded (an overlay's inputs still blend by theirs) and the colour is taken in
// 8 bits.
StitchResult splitAndStitchFor(const ConversionRequest& request, const std::string& source,
                               const std::string& folder, const StopCheck& stop)
{
    const StepResult split = splitImage(source, folder, stop, request.item);
    if (!split.ok())
        return stitchFailed(split);
    const bool png = request.format == OutputFormat::Png;
    const bool deep = png && request.keepDepth;
    StitchResult stitched = isDerivedPicture(folder) ? composeDerivedPicture(source, folder, deep, stop)
                                                     : stitchImage(folder, stop, ImageWanted{png, deep});
    stitched.alpha = stitched.alpha && png;
    return stitched;
}

// A HEIC file: split, its tiles decoded and stitched in the work folder, the picture turned and cropped.
ConversionResult convertHeicFile(const ConversionRequest& request, const QString& source,
                                 const StopCheck& stop)
{
    ConversionResult result;
    WorkFolder work(request.privateWorkFolder);
    const Result<QString> prepared = prepareWorkFolder(work);
    if (!prepared.ok()) {
        result.status = prepared.status;
        return result;
    }
    const QString& folder = prepared.value;
    QDir(folder).mkdir(protocol::kTileFolder);
    QDir(folder).mkdir(protocol::kDecodedTileFolder);
    const std::string bmpPath = QFile::encodeName(folder + "/" + protocol::kStitchedPicture).toStdString();
    ::unlink(bmpPath.c_str());
    // A private folder goes as soon as its conversion ends: a bmp.bmp there would be written only to be
    // deleted, tens of megabytes for every file of a batch. Only the shared folder keeps one.
    const std::string keptBmpPath = work.isPrivate() ? std::string() : bmpPath;

    StitchResult stitched =
        splitAndStitchFor(request, source.toUtf8().toStdString(), folder.toUtf8().toStdString(), stop);
    // An incomplete picture is written all the same, gaps and all, and then not saved.
    if (stitched.failure == StitchFailure::None && stitched.missingCells > 0 && !keptBmpPath.empty() &&
        stitched.picture.depth() == 32 &&
        !writeBmp32(keptBmpPath, stitched.picture.constBits(), stitched.picture.width(),
                    stitched.picture.height())) {
        result.status = StepResult::workFolderUnwritable();
        return result;
    }
    result.status = stitchStep(stitched);
    if (!result.status.ok())
        return result;
    QImage image = std::move(stitched.picture);
    if (!stitched.alpha && image.depth() == 32)
        makeOpaque(image);

    // bmp.bmp is written while the picture is turned, cropped and encoded. Its pixels stay where they are
    // until then: turning and cropping make new pictures, and the stitched one is kept for the writer. A
    // 16-bit picture is written from an 8-bit copy.
    QImage stitchedForBmp; // declared first, so that it outlives the writer on every way out
    const QImage bmpCopy =
        keptBmpPath.empty() || image.depth() == 32 ? QImage() : image.convertToFormat(QImage::Format_ARGB32);
    BackgroundBmpWrite bmp(keptBmpPath, bmpCopy.isNull() ? image : bmpCopy);

    // Upright, cropped and with its colour profile, as the camera meant it to be shown.
    const PictureExtrasResult extras = readPictureExtras(folder + "/" + protocol::kSplitterPrefix);
    // The conversion to sRGB changes the pixels where they lie: the stitched ones stay for the writer too.
    // Without a bmp.bmp to write, the stitched picture goes as soon as its turned copy is made.
    if (!keptBmpPath.empty() && (!extras.extras.operations.empty() || request.srgb))
        stitchedForBmp = image;
    result.status = extras.status.ok() ? preparePicture(image, extras.extras, request.format) : extras.status;
    if (result.status.ok()) {
        // Converted from the profile the file names, whatever the output format carries.
        const QByteArray& profile = extras.extras.iccProfile;
        const bool named = request.srgb && !profile.isEmpty();
        result.status =
            finishPicture(image, named ? QColorSpace::fromIccProfile(profile) : QColorSpace(), request, stop);
    }
    if (!result.status.ok())
        return result;
    // The name was free when it was chosen; should another program take it meanwhile, the next one is used.
    EncodedPicture encoded(image, OutputNames::from(request.output, request.input), request.format,
                           request.quality);
    const bool bmpWritten = bmp.finish();
    // The encoded file is all that is needed from here on.
    image = QImage();
    stitchedForBmp = QImage();
    if (!bmpWritten) {
        result.status = StepResult::workFolderUnwritable();
        return result;
    }
    const SaveResult saved = encoded.finish(stop, saveExtras(request, extras.extras.exif, source));
    result.status = saved.status;
    result.outputFile = saved.path;
    return result;
}

// Each kind of file its own way; a file that is not even readable goes nowhere.
ConversionResult convertChecked(const ConversionRequest& request, const StopCheck& stop)
{
    ConversionResult result;
    result.status = checkSourceFile(request.input);
    if (!result.status.ok())
        return result;
    // The tools run in the program folder, where a relative path would name another file.
    const QString source = QFileInfo(request.input).absoluteFilePath();
    const PictureFileKind kind = pictureFileKind(source);
    if (kind != PictureFileKind::Other)
        return convertPictureFile(request, kind, source, stop);
    return convertHeicFile(request, source, stop);
}

} // namespace

ConversionResult convertFile(const ConversionRequest& request, const StopCheck& stop)
{
    allowTheLargestPicture();
    // A backstop over the tools' own limits: no file, however it is made, keeps the caller for long.
    const auto deadline = std::chrono::steady_clock::now() + conversionTimeLimit();
    const auto tookTooLong = [deadline] { return std::chrono::steady_clock::now() >= deadline; };
    ConversionResult result = convertChecked(request, [&] { return (stop && stop()) || tookTooLong(); });
    if (result.status.failure == FailureKind::Stopped && !(stop && stop()) && tookTooLong())
        result.status = StepResult::failed(FailureKind::TookTooLong, QStringLiteral("took too long"));
    return result;
}

std::chrono::milliseconds conversionTimeLimit()
{
    return std::chrono::milliseconds(conversionLimitMs.load());
}

void setConversionTimeLimit(std::chrono::milliseconds limit)
{
    conversionLimitMs.store(limit.count());
}
