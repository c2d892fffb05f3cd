#include "engine/covertthread.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include "engine/imagesaver.h"
#include "engine/pictureextras.h"
#include "engine/sourcefile.h"
#include "engine/tilestitcher.h"
#include "engine/workfolder.h"

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
        return QStringLiteral("not a HEIC file or damaged");
    case StitchFailure::TooLarge:
        return QStringLiteral("picture larger than %1 pixels").arg(kLargestPictureSide);
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
    failureReason.clear();
    const StopCheck stop = [this] { return isInterruptionRequested(); };

    failureReason = sourceFileProblem(inputFile);
    if (!failureReason.isEmpty())
        return;

    WorkFolder work(privateWorkFolder);
    const QString folder = prepareWorkFolder(work);
    if (folder.isEmpty()) {
        failureReason = work.failureReason();
        return;
    }
    QDir(folder).mkdir(QStringLiteral("hevc"));
    QDir(folder).mkdir(QStringLiteral("jpeg"));
    const QString bmpPath = folder + QStringLiteral("/bmp.bmp");
    QFile::remove(bmpPath);

    int missingCells = 0;
    StitchFailure failure = StitchFailure::None;
    QImage image;
    // The tools run in the program folder, where a relative path would name another file.
    const QString source = QFileInfo(inputFile).absoluteFilePath();
    if (convertHeicToBmp(source.toUtf8().toStdString(), bmpPath.toUtf8().toStdString(),
                         folder.toUtf8().toStdString(), &missingCells, &failure, stop, &image) != 0) {
        failureReason = reasonFor(failure);
        return;
    }
    // An incomplete picture is not saved at all.
    if (missingCells > 0) {
        failureReason = missingCells == 1 ? QStringLiteral("1 tile could not be decoded")
                                          : QStringLiteral("%1 tiles could not be decoded").arg(missingCells);
        return;
    }

    // The stitcher hands over the picture it wrote to bmp.bmp, which spares reading it back.
    if (image.isNull()) {
        failureReason = QStringLiteral("cannot read the stitched picture");
        return;
    }
    // Upright, cropped and with its colour profile, as the camera meant it to be shown.
    PictureExtras extras;
    if (!readPictureExtras(folder + QStringLiteral("/hevc/hevc"), &extras, &failureReason) ||
        !preparePicture(image, extras, format.toUpper().toLatin1(), &failureReason))
        return;
    if (stop()) {
        failureReason = QStringLiteral("stopped");
        return;
    }
    succeeded = saveImageReplacing(image, outputFile, format.toUpper().toLatin1(), stop, &failureReason,
                                   SaveExtras{extras.exif, source, quality});
}
