// SPDX-License-Identifier: GPL-3.0-or-later
#include <thread>

#include <QColorSpace>
#include <QImageReader>
#include <QLockFile>
#include <QSignalSpy>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include "engine/conversion.h"
#include "engine/covertthread.h"
#include "engine/files/leftovertemporaries.h"
#include "engine/picture/imagesaver.h"
#include "fixtures/heicfixtures.h"
#include "tests/engine/fakeprogramfolder.h"
#include "tests/support/exiftags.h"
#include "tests/support/files.h"
#include "tests/support/testmain.h"
#include "tests/support/workerrun.h"

using vornetta::test::encodedPicture;
using vornetta::test::fileBytes;
using vornetta::test::writeFile;

using vornetta::test::FakeProgramFolder;

namespace {

// A splitter that "splits" by copying the tile information and BMP tiles prepared in fixture/.
const QByteArray kCopyingSplitter = "cp \"$(dirname \"$0\")/../fixture/\"* \"$(dirname \"$2\")/\"";

// A real JPEG whose header claims the given width.
QByteArray jpegClaimingWidth(int width)
{
    QByteArray bytes = encodedPicture(QImage(16, 16, QImage::Format_RGB32), "JPEG");
    const qsizetype frame = bytes.indexOf("\xff\xc0"); // height at +5, width at +7
    bytes[frame + 7] = char(width >> 8);
    bytes[frame + 8] = char(width & 0xff);
    return bytes;
}

} // namespace

class CovertThreadTest final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FakeProgramFolder> program;
    std::unique_ptr<QTemporaryDir> output;
    QImage drawing;

    QString fixture(const QString& name = {}) const { return program->file("fixture/" + name); }
    QString work() const { return QDir::tempPath() + "/Brembloc/Vornetta/thumb"; }
    // The fake splitter never reads it, but the worker checks that it is a readable file.
    QString source() const { return program->file("holiday photo é.heic"); }

    // The drawing cut into 512 x 512 tiles, as the splitter would leave them for the copying decoder.
    void prepareTiles(const QImage& picture, const QList<int>& leaveOut = {})
    {
        QVERIFY(QDir().mkpath(fixture()));
        const int cols = (picture.width() + 511) / 512;
        const int rows = (picture.height() + 511) / 512;
        QByteArray ids;
        for (int n = 1; n <= rows * cols; ++n) {
            ids += QByteArray::number(n) + ",";
            if (!leaveOut.contains(n))
                QVERIFY(picture.copy((n - 1) % cols * 512, (n - 1) / cols * 512, 512, 512)
                            .save(fixture("hevc" + QString::number(n)), "BMP"));
        }
        QVERIFY(writeFile(fixture("hevcinfo"), QString("width=%1\nheight=%2\nrow=%3\ncol=%4\n")
                                                       .arg(picture.width())
                                                       .arg(picture.height())
                                                       .arg(rows)
                                                       .arg(cols)
                                                       .toLatin1() +
                                                   ids + "\n"));
        // No crop, rotation or mirror.
        QVERIFY(writeFile(fixture("hevctransform"), ""));
    }

    // Runs one conversion as the window does and checks that finished() came once.
    void convert(CovertThread& thread, const QString& outputFile, const QString& format,
                 int timeoutMs = 30000)
    {
        const vornetta::test::WorkerRun run =
            vornetta::test::runWorker(thread, 7, source(), outputFile, format, timeoutMs);
        QVERIFY(run.ended);
        QCOMPARE(run.finishedSignals, 1);
        QCOMPARE(thread.itemIndex, 7);
        QCOMPARE(thread.failureReason.isEmpty(), thread.succeeded);
    }

private slots:
    void initTestCase() { drawing = vornetta::test::drawTestPicture(1100, 700); }
    void init()
    {
        program = std::make_unique<FakeProgramFolder>();
        output = std::make_unique<QTemporaryDir>();
        QVERIFY(program->addTool("heic/heic", kCopyingSplitter));
        QVERIFY(program->addCopyingDecoder());
        QVERIFY(
            QFile::link(vornetta::test::programFolder() + "/picturereader", program->file("picturereader")));
        QVERIFY(writeFile(source(), "not read"));
    }
    void cleanup()
    {
        QVERIFY(vornetta::test::childProcesses().isEmpty());
        program.reset();
        output.reset();
    }

    void theSameFileTwiceGivesIdenticalOutput()
    {
        prepareTiles(drawing);
        CovertThread thread;
        convert(thread, output->filePath("first.png"), "png");
        QVERIFY(QFile::exists(work() + "/jpeg/jpeg4.bmp"));
        // A stale tile of the first run must not reach the second.
        QVERIFY(QFile::remove(fixture("hevc4")));
        QVERIFY(writeFile(fixture("hevcinfo"), "width=1100\nheight=700\nrow=2\ncol=3\n1,2,3,5,6\n"));
        convert(thread, output->filePath("second.png"), "png");
        QVERIFY(!thread.succeeded);
        QCOMPARE(thread.failureReason, QString("1 tile could not be decoded"));

        prepareTiles(drawing);
        convert(thread, output->filePath("third.png"), "png");
        QVERIFY(thread.succeeded);
        QCOMPARE(fileBytes(output->filePath("third.png")), fileBytes(output->filePath("first.png")));
    }

    void failuresLeaveNoOutput_data()
    {
        QTest::addColumn<QString>("setUp");
        QTest::addColumn<QString>("reason");
        QTest::newRow("splitter missing") << "no splitter"
                                          << "the splitter could not be started";
        QTest::newRow("not a HEIC file") << "no tiles"
                                         << "not a HEIC file or damaged";
        QTest::newRow("too large") << "too large"
                                   << "picture larger than 10239 pixels";
        QTest::newRow("one tile missing") << "leave out 2"
                                          << "1 tile could not be decoded";
        QTest::newRow("three tiles missing") << "leave out 1 4 6"
                                             << "3 tiles could not be decoded";
        QTest::newRow("decoder missing") << "no decoder"
                                         << "the tile decoder could not be started";
        QTest::newRow("output folder missing") << "no output folder"
                                               << "cannot write to the output folder";
        QTest::newRow("input gone") << "input gone"
                                    << "cannot read the file";
        QTest::newRow("input is a folder") << "input is a folder"
                                           << "not a file";
        QTest::newRow("input is a pipe") << "input is a pipe"
                                         << "not a file";
        // The tiles prepared for the copying splitter would make these succeed, were it run.
        QTest::newRow("JPEG named .heic, too large") << "jpeg too large"
                                                     << "picture larger than 10239 pixels";
        QTest::newRow("JPEG named .heic, damaged") << "damaged jpeg"
                                                   << "damaged JPEG file";
        QTest::newRow("PNG named .heic, damaged") << "damaged png"
                                                  << "damaged PNG file";
        QTest::newRow("no writer for the format") << "format XYZ"
                                                  << "cannot write XYZ files";
    }
    void failuresLeaveNoOutput()
    {
        QFETCH(QString, setUp);
        QFETCH(QString, reason);
        QList<int> leaveOut;
        if (setUp.startsWith("leave out"))
            for (const QString& n : setUp.mid(10).split(' '))
                leaveOut.append(n.toInt());
        if (setUp != "no tiles")
            prepareTiles(drawing, leaveOut);
        else
            QVERIFY(program->addTool("heic/heic", "exit 1"));
        if (setUp == "no splitter")
            QVERIFY(QFile::remove(program->file("heic/heic")));
        if (setUp == "no decoder")
            QVERIFY(QFile::remove(program->file("ffmpeg")));
        // The splitter would read a pipe until a writer came; the worker must not start it at all.
        if (setUp.startsWith("input")) {
            QVERIFY(QFile::remove(source()));
            QVERIFY(program->addTool("heic/heic", "cat \"$1\" > /dev/null\n" + kCopyingSplitter));
        }
        if (setUp == "input is a folder")
            QVERIFY(QDir().mkdir(source()));
        if (setUp == "input is a pipe")
            QCOMPARE(mkfifo(QFile::encodeName(source()).constData(), 0600), 0);
        if (setUp == "too large")
            QVERIFY(writeFile(fixture("hevcinfo"), "width=10240\nheight=700\nrow=2\ncol=21\n1,2,3\n"));
        if (setUp == "jpeg too large")
            QVERIFY(writeFile(source(), jpegClaimingWidth(10240)));
        if (setUp == "damaged jpeg")
            QVERIFY(writeFile(source(), "\xff\xd8\xff\xe0 and no picture"));
        if (setUp == "damaged png")
            QVERIFY(writeFile(source(), "\x89PNG\r\n\x1a\n and no picture"));
        QString folder = output->path();
        if (setUp == "no output folder")
            folder += "/gone";
        // A file already at the output name is never replaced by a failed run.
        const QString target = folder + "/picture.png";
        QVERIFY(setUp == "no output folder" || writeFile(target, "the user's own file"));

        CovertThread thread;
        convert(thread, target, setUp == "format XYZ" ? "XYZ" : "png");
        QVERIFY(!thread.succeeded);
        QCOMPARE(thread.failureReason, reason);
        if (setUp != "no output folder") {
            QCOMPARE(fileBytes(target), QByteArray("the user's own file"));
            QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"picture.png"});
        } else {
            QVERIFY(!QFileInfo::exists(folder));
        }
    }

    void theSplittersSideFilesDecideTheOutcome_data()
    {
        QTest::addColumn<QByteArray>("transform"); // "none": no transform file
        QTest::addColumn<QByteArray>("exif");
        QTest::addColumn<QString>("reason"); // empty: success
        QTest::newRow("no transform file")
            << QByteArray("none") << QByteArray() << "cannot read the picture's orientation";
        QTest::newRow("damaged transform file")
            << QByteArray("rotate 5\n") << QByteArray() << "cannot read the picture's orientation";
        QTest::newRow("crop outside the picture")
            << QByteArray("crop 1000 0 101 700\n") << QByteArray() << "cannot read the picture's orientation";
        QTest::newRow("unreadable Exif") << QByteArray("rotate 1\n") << QByteArray("not Exif") << "";
    }
    void theSplittersSideFilesDecideTheOutcome()
    {
        QFETCH(QByteArray, transform);
        QFETCH(QByteArray, exif);
        QFETCH(QString, reason);
        prepareTiles(drawing);
        if (transform == "none")
            QVERIFY(QFile::remove(fixture("hevctransform")));
        else
            QVERIFY(writeFile(fixture("hevctransform"), transform));
        if (!exif.isEmpty())
            QVERIFY(writeFile(fixture("hevcexif"), exif));
        const QString target = output->filePath("picture.jpg");
        QVERIFY(writeFile(target, "the user's own file"));
        CovertThread thread;
        convert(thread, target, "jpg");
        QCOMPARE(thread.failureReason, reason);
        QCOMPARE(fileBytes(target), QByteArray("the user's own file"));
        if (reason.isEmpty())
            QCOMPARE(QImage(thread.savedFile).size(), QSize(700, 1100));
        QCOMPARE(QDir(output->path()).entryList(QDir::Files | QDir::Hidden),
                 reason.isEmpty() ? QStringList({"picture(0).jpg", "picture.jpg"})
                                  : QStringList{"picture.jpg"});
    }

    // Phones' "most compatible" exports: JPEG and PNG files named .heic, read by the picture reader without
    // the splitter and the decoders, upright, with their profile and their Exif, as a HEIC file comes out.
    void aJpegOrPngNamedHeicIsConvertedWithoutTheTools_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("orientation");
        QTest::addColumn<QString>("format");
        for (int orientation = 1; orientation <= 8; ++orientation)
            QTest::addRow("JPEG, orientation %d", orientation) << "jpeg" << orientation << "png";
        QTest::newRow("JPEG to bmp") << "jpeg" << 3 << "bmp";
        QTest::newRow("PNG, raw profile Exif, to jpg") << "png" << 6 << "jpg";
        QTest::newRow("PNG, eXIf chunk") << "png eXIf" << 5 << "png";
    }
    void aJpegOrPngNamedHeicIsConvertedWithoutTheTools()
    {
        QFETCH(QString, kind);
        QFETCH(int, orientation);
        QFETCH(QString, format);
        QVERIFY(program->addTool("heic/heic", "touch \"$(dirname \"$0\")/split\"\nexit 1"));
        QImage picture = vornetta::test::drawTestPicture(96, 64);
        picture.setColorSpace(QColorSpace(QColorSpace::DisplayP3));
        const QMap<QString, QString> tags{{"Exif.Image.Make", "Brembloc Optics"},
                                          {"Exif.Image.Orientation", QString::number(orientation)},
                                          {"Exif.Photo.PixelXDimension", "96"},
                                          {"Exif.Photo.PixelYDimension", "64"}};
        if (kind == "png eXIf") {
            QVERIFY(writeFile(source(), vornetta::test::withExifChunk(encodedPicture(picture, "PNG"),
                                                                      vornetta::test::exifBlock(tags))));
        } else {
            QVERIFY(writeFile(source(), encodedPicture(picture, kind == "jpeg" ? "JPEG" : "PNG")));
            QVERIFY(vornetta::test::writeExifTags(source(), tags));
        }
        const QDateTime taken = QDateTime::fromString("2024-05-06T07:08:09.250Z", Qt::ISODateWithMs);
        {
            QFile file(source());
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(taken, QFileDevice::FileModificationTime));
        }
        // Upright as Qt's own reader turns a JPEG with that orientation.
        const QString turned = output->filePath("reference.jpg");
        QVERIFY(writeFile(turned, encodedPicture(picture, "JPEG")));
        QVERIFY(vornetta::test::writeExifTags(turned, tags));
        QImageReader reader(turned);
        reader.setAutoTransform(true);
        const QImage reference = reader.read().convertToFormat(QImage::Format_RGB32);

        CovertThread thread;
        convert(thread, output->filePath("photo." + format), format);
        QVERIFY2(thread.succeeded, qPrintable(thread.failureReason));
        QVERIFY(!QFileInfo::exists(program->file("heic/split")));
        const QImage saved(thread.savedFile);
        QCOMPARE(saved.size(), reference.size());
        const double quality = vornetta::test::psnr(saved.convertToFormat(QImage::Format_RGB32), reference);
        // The reference is a JPEG at the writer's default quality; a wrong turn gives about 9 dB.
        QVERIFY2(quality >= 25, qPrintable(QString::number(quality)));
        QCOMPARE(QFileInfo(thread.savedFile).lastModified(), taken);
        const QMap<QString, QString> exif = vornetta::test::exifTagsOf(thread.savedFile);
        if (format == "bmp") {
            QVERIFY(!saved.colorSpace().isValid());
            QVERIFY(exif.isEmpty());
            return;
        }
        QCOMPARE(saved.colorSpace(), QColorSpace(QColorSpace::DisplayP3));
        QCOMPARE(exif.value("Exif.Image.Make"), QString("Brembloc Optics"));
        QCOMPARE(exif.value("Exif.Image.Orientation"), QString("1"));
        QCOMPARE(exif.value("Exif.Photo.PixelXDimension"), QString::number(saved.width()));
    }

    // Whatever is at the name, a file, a link, a link to nowhere, a folder or a pipe, stays as it is: the
    // picture takes the next free name and nothing is written through a link.
    void aSuccessfulRunNeverReplacesWhatIsAtItsName_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::newRow("file") << "file";
        QTest::newRow("link to a file") << "link";
        QTest::newRow("link to nowhere") << "dangling link";
        QTest::newRow("folder") << "folder";
        QTest::newRow("pipe") << "pipe";
    }
    void aSuccessfulRunNeverReplacesWhatIsAtItsName()
    {
        QFETCH(QString, entry);
        prepareTiles(drawing);
        const QString target = output->filePath("picture.bmp");
        QTemporaryDir elsewhere;
        const QString linked = elsewhere.filePath("authorized_keys");
        if (entry == "file")
            QVERIFY(writeFile(target, "old"));
        if (entry == "link")
            QVERIFY(writeFile(linked, "the user's own file"));
        if (entry.endsWith("link"))
            QVERIFY(QFile::link(linked, target));
        if (entry == "folder")
            QVERIFY(QDir().mkdir(target));
        if (entry == "pipe")
            QCOMPARE(mkfifo(QFile::encodeName(target).constData(), 0600), 0);
        const QFileInfo before(target);

        CovertThread thread;
        convert(thread, target, "bmp");
        QVERIFY(thread.succeeded);
        QCOMPARE(thread.savedFile, output->filePath("picture(0).bmp"));
        QCOMPARE(QImage(thread.savedFile).convertToFormat(QImage::Format_RGB32), drawing);
        const QFileInfo after(target);
        QCOMPARE(after.isSymLink(), before.isSymLink());
        QCOMPARE(after.isDir(), before.isDir());
        if (entry == "file")
            QCOMPARE(fileBytes(target), QByteArray("old"));
        QCOMPARE(fileBytes(linked), QByteArray(entry == "link" ? "the user's own file" : ""));
        QCOMPARE(QFileInfo::exists(linked), entry == "link");
        QCOMPARE(QDir(output->path())
                     .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
                 QStringList({"picture(0).bmp", "picture.bmp"}));
    }

    // Saves racing for one name each take a name of their own, all complete.
    void savesAtOnceTakeANameEach()
    {
        constexpr int kSaves = 4;
        const OutputNames names(output->path(), "/photos/picture.heic", "png");
        std::vector<SaveResult> results(kSaves);
        std::vector<std::thread> savers;
        for (int n = 0; n < kSaves; ++n)
            savers.emplace_back(
                [&, n] { results[size_t(n)] = saveImage(drawing, names, OutputFormat::Png); });
        for (std::thread& saver : savers)
            saver.join();
        QStringList taken;
        for (const SaveResult& result : results) {
            QVERIFY2(result.status.ok(), qPrintable(result.status.reason));
            QCOMPARE(QImage(result.path).convertToFormat(QImage::Format_RGB32), drawing);
            taken.append(QFileInfo(result.path).fileName());
        }
        taken.sort();
        QCOMPARE(taken, QStringList({"picture(0).png", "picture(1).png", "picture(2).png", "picture.png"}));
        QCOMPARE(QDir(output->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 taken);
    }

    // A save stopped while it writes.
    void aFailedSaveLeavesNothingAndReplacesNothing()
    {
        const QString target = output->filePath("picture");
        QVERIFY(writeFile(target, "the user's own file"));
        const SaveResult saved = saveImage(drawing, OutputNames::from(target, target),
                                           *parseOutputFormat("PNG"), [] { return true; });
        QVERIFY(!saved.status.ok());
        QCOMPARE(saved.status.reason, QString("stopped"));
        QCOMPARE(fileBytes(target), QByteArray("the user's own file"));
        QCOMPARE(QDir(output->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"picture"});
    }

    // Where the file system cannot make a file without a name, a save writes under a temporary name, locked;
    // what runs killed outright left that way goes, and nothing else does.
    void leftoverTemporariesGoAndNothingElse_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("removed");
        QTest::newRow("left by a killed run") << "file" << true;
        QTest::newRow("being written") << "locked" << false;
        QTest::newRow("written a moment ago") << "new" << false;
        QTest::newRow("a link to the user's file") << "link" << false;
        QTest::newRow("a folder") << "folder" << false;
        QTest::newRow("a file with a second name") << "hard link" << false;
        QTest::newRow("another user's") << "foreign" << false;
        QTest::newRow("a name of another pattern") << "other name" << false;
    }
    void leftoverTemporariesGoAndNothingElse()
    {
        QFETCH(QString, kind);
        QFETCH(bool, removed);
        if (kind == "foreign" && geteuid() != 0)
            QSKIP("needs root to give a file to another user");
        const QString name =
            kind == "other name" ? ".vornetta-0123456789ABCDEF.tmp" : ".vornetta-0123456789abcdef.tmp";
        const QString path = output->filePath(name);
        QTemporaryDir elsewhere;
        const QString usersFile = elsewhere.filePath("photo.jpg");
        QVERIFY(writeFile(usersFile, "the user's own file"));
        if (kind == "link")
            QVERIFY(QFile::link(usersFile, path));
        else if (kind == "hard link")
            QCOMPARE(link(QFile::encodeName(usersFile).constData(), QFile::encodeName(path).constData()), 0);
        else if (kind == "folder")
            QVERIFY(QDir().mkdir(path));
        else
            QVERIFY(writeFile(path, "half a picture"));
        if (kind == "foreign")
            QCOMPARE(chown(QFile::encodeName(path).constData(), 65534, 65534), 0);
        const timespec minutesAgo[2] = {{0, UTIME_OMIT}, {time(nullptr) - 120, 0}};
        if (kind != "new")
            QCOMPARE(
                utimensat(AT_FDCWD, QFile::encodeName(path).constData(), minutesAgo, AT_SYMLINK_NOFOLLOW), 0);
        QFile writing(path);
        QVERIFY(kind != "locked" ||
                (writing.open(QIODevice::ReadOnly) && flock(writing.handle(), LOCK_EX) == 0));

        const Descriptor folder(open(QFile::encodeName(output->path()).constData(), O_RDONLY | O_DIRECTORY));
        removeLeftoverTemporaries(folder.get());
        QCOMPARE(!QFileInfo::exists(path) && !QFileInfo(path).isSymLink(), removed);
        QCOMPARE(fileBytes(usersFile), QByteArray("the user's own file"));
    }

    void aStopRequestEndsTheRun_data()
    {
        QTest::addColumn<QString>("hangingTool");
        QTest::addColumn<bool>("pastTheTimeLimit"); // the file's own limit stops it, not a request
        QTest::newRow("while splitting") << "heic/heic" << false;
        QTest::newRow("while decoding") << "ffmpeg" << false;
        QTest::newRow("past the file's time limit, splitting") << "heic/heic" << true;
        QTest::newRow("past the file's time limit, decoding") << "ffmpeg" << true;
    }
    void aStopRequestEndsTheRun()
    {
        QFETCH(QString, hangingTool);
        QFETCH(bool, pastTheTimeLimit);
        prepareTiles(drawing);
        QVERIFY(program->addTool(hangingTool, "sleep 1000 &\nwait"));
        if (pastTheTimeLimit)
            setConversionTimeLimit(std::chrono::milliseconds(300));
        CovertThread thread;
        QSignalSpy finished(&thread, &QThread::finished);
        thread.inputFile = source();
        thread.outputFile = output->filePath("out.png");
        thread.format = "png";
        thread.start();
        QTest::qWait(300);
        if (!pastTheTimeLimit) {
            QVERIFY(thread.isRunning());
            thread.requestStop();
        }
        QVERIFY(thread.wait(QDeadlineTimer(5000)));
        setConversionTimeLimit(std::chrono::minutes(5));
        QCOMPARE(finished.count(), 1);
        QVERIFY(!thread.succeeded);
        QCOMPARE(thread.failureReason, QString(pastTheTimeLimit ? "took too long" : "stopped"));
        QVERIFY(QDir(output->path()).isEmpty());

        // The next start is not stopped by the earlier request.
        QVERIFY(program->addTool("heic/heic", kCopyingSplitter));
        QVERIFY(program->addCopyingDecoder());
        thread.requestStop(); // not running: ignored
        convert(thread, output->filePath("out.png"), "png");
        QVERIFY(thread.succeeded);
    }

    void destroyingARunningWorkerStopsIt()
    {
        prepareTiles(drawing);
        QVERIFY(program->addTool("ffmpeg", "sleep 1000 &\nwait"));
        auto thread = std::make_unique<CovertThread>();
        thread->inputFile = source();
        thread->outputFile = output->filePath("out.png");
        thread->format = "png";
        thread->start();
        QTest::qWait(300);
        QVERIFY(thread->isRunning());
        thread.reset();
        QVERIFY(QDir(output->path()).isEmpty());
    }

    void aSecondProgramAtWorkUsesAFolderOfItsOwn()
    {
        prepareTiles(drawing);
        QVERIFY(QDir(work()).removeRecursively());
        QVERIFY(QDir().mkpath(work()));
        QVERIFY(writeFile(work() + "/the other program's tile", "x"));
        QLockFile otherProgram(QDir::tempPath() + "/Brembloc/Vornetta/thumb.lock");
        QVERIFY(otherProgram.tryLock(0));

        CovertThread thread;
        convert(thread, output->filePath("out.png"), "png");
        QVERIFY(thread.succeeded);
        QCOMPARE(QImage(output->filePath("out.png")).convertToFormat(QImage::Format_RGB32), drawing);
        QCOMPARE(QDir(work()).entryList(QDir::Files), QStringList{"the other program's tile"});
        QCOMPARE(QDir(QDir::tempPath() + "/Brembloc/Vornetta").entryList(QDir::Dirs | QDir::NoDotAndDotDot),
                 QStringList{"thumb"});
    }
};

VORNETTA_TEST_MAIN(CovertThreadTest)
#include "tst_covertthread.moc"
