#include "engine/covertthread.h"

#include <algorithm>
#include <atomic>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include "engine/imagesaver.h"
#include "engine/pictureextras.h"
#include "engine/sourcefile.h"
#include "engine/tilestitcher.h"
#include "engine/workfolder.h"
#include "protocol/protocol.h"

namespace {

// The largest intermediate picture, 10239 x 10239 x 4 bytes, is above Qt's default reading limit.
constexpr int kImageReadLimitMiB = 512;

QString reasonFor(StitchFailure failure)
{
    switch (failure) {
    case StitchFailure::SplitterNotStarted:
        return QStringLiteral("the splitter could not be started");
    case StitchFailure::SplitterTimedOut:
        return QStringLiteral("the splitter took too long");
    case StitchFailure::SplitterCrashed:
        return QStringLiteral("the splitter crashed");
    case StitchFailure::DecoderNotStarted:
        return QStringLiteral("the tile decoder could not be started");
    case StitchFailure::NoPicture:
    case StitchFailure::BadTiles:
        return QStringLiteral("not a HEIC file or damaged");
    case StitchFailure::TooLarge:
        return QStringLiteral("picture larger than %1 pixels").arg(protocol::kMaxConvertedSide);
    case StitchFailure::OutOfMemory:
        return QStringLiteral("not enough memory");
    case StitchFailure::Stopped:
        return QStringLiteral("stopped");
    case StitchFailure::CannotWrite:
    case StitchFailure::None:
        break;
    }
    return QStringLiteral("cannot write the work folder");
}

} // namespace

namespace {
std::atomic<long long> conversionLimitMs{5 * 60 * 1000};
} // namespace

std::chrono::milliseconds conversionTimeLimit()
{
    return std::chrono::milliseconds(conversionLimitMs.load());
}

void setConversionTimeLimit(std::chrono::milliseconds limit)
{
    conversionLimitMs.store(limit.count());
}

CovertThread::CovertThread()
    : QThread(nullptr)
{
    if (QImageReader::allocationLimit() > 0)
        QImageReader::setAllocationLimit(std::max(QImageReader::allocationLimit(), kImageReadLimitMiB));
}

CovertThread::~CovertThread()
{
    // Destroying a running QThread aborts the program; a stopped run ends within a second.
    requestStop();
    wait();
}

void CovertThread::requestStop()
{
    // Cleared by every start(), and ignored while the thread does not run.
    requestInterruption();
}

void CovertThread::run()
{
    succeeded = false;
    savedFile.clear();
    failureReason.clear();
    // A backstop over the tools' own limits: no file, however it is made, keeps the worker for long.
    const auto deadline = std::chrono::steady_clock::now() + conversionTimeLimit();
    const auto tookTooLong = [deadline] { return std::chrono::steady_clock::now() >= deadline; };
    const StopCheck stop = [this, tookTooLong] { return isInterruptionRequested() || tookTooLong(); };
    const auto stoppedReason = [this, tookTooLong] {
        return !isInterruptionRequested() && tookTooLong() ? QStringLiteral("took too long")
                                                           : QStringLiteral("stopped");
    };

    failureReason = sourceFileProblem(inputFile);
    if (!failureReason.isEmpty())
        return;

    WorkFolder work(privateWorkFolder);
    const QString folder = prepareWorkFolder(work);
    if (folder.isEmpty()) {
        failureReason = work.failureReason();
        return;
    }
    QDir(folder).mkdir(protocol::kTileFolder);
    QDir(folder).mkdir(protocol::kDecodedTileFolder);
    const QString bmpPath = folder + "/" + protocol::kStitchedPicture;
    QFile::remove(bmpPath);

    // The tools run in the program folder, where a relative path would name another file.
    const QString source = QFileInfo(inputFile).absoluteFilePath();
    StitchResult stitched = convertHeicToBmp(source.toUtf8().toStdString(), bmpPath.toUtf8().toStdString(),
                                             folder.toUtf8().toStdString(), stop);
    if (stitched.failure != StitchFailure::None) {
        failureReason =
            stitched.failure == StitchFailure::Stopped ? stoppedReason() : reasonFor(stitched.failure);
        return;
    }
    // An incomplete picture is not saved at all.
    if (stitched.missingCells > 0) {
        failureReason = stitched.missingCells == 1
                            ? QStringLiteral("1 tile could not be decoded")
                            : QStringLiteral("%1 tiles could not be decoded").arg(stitched.missingCells);
        return;
    }
    QImage image = std::move(stitched.picture);

    // The stitcher hands over the picture it wrote to bmp.bmp, which spares reading it back.
    if (image.isNull()) {
        failureReason = QStringLiteral("cannot read the stitched picture");
        return;
    }
    // Upright, cropped and with its colour profile, as the camera meant it to be shown.
    PictureExtras extras;
    if (!readPictureExtras(folder + "/" + protocol::kSplitterPrefix, &extras, &failureReason) ||
        !preparePicture(image, extras, format.toUpper().toLatin1(), &failureReason))
        return;
    if (stop()) {
        failureReason = stoppedReason();
        return;
    }
    // The window chose a free name; should another program take it meanwhile, the next free one is used.
    const SaveResult saved =
        saveImage(std::move(image), OutputNames::from(outputFile, inputFile), format.toUpper().toLatin1(),
                  stop, SaveExtras{extras.exif, source, quality});
    succeeded = saved.saved;
    savedFile = saved.path;
    failureReason = saved.reason == QStringLiteral("stopped") ? stoppedReason() : saved.reason;
}
