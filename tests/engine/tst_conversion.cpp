// SPDX-License-Identifier: GPL-3.0-or-later
#include <QImageReader>

#include "engine/covertthread.h"
#include "engine/process/toolrunner.h"
#include "fixtures/heicfixtures.h"
#include "tests/engine/fakeprogramfolder.h"
#include "tests/support/files.h"
#include "tests/support/memory.h"
#include "tests/support/picturefiles.h"
#include "tests/support/testmain.h"
#include "tests/support/workerrun.h"

using vornetta::test::fileBytes;
using namespace vornetta::test;

// One HEIC file to one picture with the real splitter and the real ffmpeg of the program folder.

class ConversionTest final : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    QImage drawing;
    QString gridFile;

    void convert(CovertThread& thread, const QString& input, const QString& outputFile, const QString& format)
    {
        const vornetta::test::WorkerRun run =
            vornetta::test::runWorker(thread, 3, input, outputFile, format, 120000);
        QVERIFY(run.ended);
        QCOMPARE(run.finishedSignals, 1);
    }

private slots:
    void initTestCase()
    {
        const QString program = vornetta::test::programFolder();
        if (!QFileInfo(program + "/heic/heic").isExecutable() ||
            !QFileInfo(program + "/ffmpeg").isExecutable())
            QSKIP("the program folder has no heic/heic or no ffmpeg");
        overrideProgramFolder(program.toStdString());
        drawing = vornetta::test::drawTestPicture(1200, 900);
        gridFile = dir.filePath("drawn grid é.heic");
        const QString failure = vornetta::test::writeGridHeic(drawing, 512, 512, gridFile);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }
    void cleanupTestCase() { overrideProgramFolder(std::string()); }

    void convertsADrawnGridPicture_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QByteArray>("magic");
        QTest::addColumn<double>("leastPsnr");
        QTest::newRow("png") << "png" << QByteArray("\x89PNG") << 35.0;
        QTest::newRow("bmp") << "bmp" << QByteArray("BM") << 35.0;
        QTest::newRow("jpg") << "jpg" << QByteArray("\xff\xd8\xff") << 30.0;
    }
    void convertsADrawnGridPicture()
    {
        QFETCH(QString, format);
        QFETCH(QByteArray, magic);
        QFETCH(double, leastPsnr);
        QTemporaryDir outputFolder;
        CovertThread thread;
        const QString target = outputFolder.filePath("drawn." + format);
        convert(thread, gridFile, target, format);
        QVERIFY2(thread.succeeded, qPrintable(thread.failureReason));
        QVERIFY(fileBytes(target).startsWith(magic));
        // Nothing else in the output folder: the temporary name is gone.
        QCOMPARE(QDir(outputFolder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"drawn." + format});
        // The image writer saves the BMP too; the intermediate picture is not copied. It is in place and
        // complete when the conversion ends, though written beside the encoding.
        const QByteArray intermediate = fileBytes(QDir::tempPath() + "/Brembloc/Vornetta/thumb/bmp.bmp");
        QVERIFY(fileBytes(target) != intermediate);
        QCOMPARE(intermediate.size(), 54 + 1200 * 900 * 4);
        const QImage saved = QImage(target).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(saved.size(), drawing.size());
        const double quality = vornetta::test::psnr(saved, drawing);
        QVERIFY2(quality > leastPsnr, qPrintable(QString::number(quality)));
    }

    void convertsASingleImage()
    {
        const QImage picture = vornetta::test::drawTestPicture(640, 480);
        const QString input = dir.filePath("single.heic");
        const QString failure = vornetta::test::writeSingleHeic(picture, input);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        CovertThread thread;
        convert(thread, input, dir.filePath("single.png"), "png");
        QVERIFY2(thread.succeeded, qPrintable(thread.failureReason));
        const double quality = vornetta::test::psnr(
            QImage(dir.filePath("single.png")).convertToFormat(QImage::Format_RGB32), picture);
        QVERIFY2(quality > 30, qPrintable(QString::number(quality)));
    }

    void theSameFileTwiceGivesIdenticalOutput()
    {
        CovertThread thread;
        convert(thread, gridFile, dir.filePath("once.png"), "png");
        convert(thread, gridFile, dir.filePath("twice.png"), "png");
        QVERIFY(thread.succeeded);
        QVERIFY(!fileBytes(dir.filePath("once.png")).isEmpty());
        QCOMPARE(fileBytes(dir.filePath("twice.png")), fileBytes(dir.filePath("once.png")));
    }

    void aBrokenFileGivesNoOutput_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("reason");
        const QString damaged = "not a HEIC file or damaged";
        QTest::newRow("not a HEIC file") << QByteArray("this is not a picture") << damaged;
        QTest::newRow("empty") << QByteArray() << damaged;
        QTest::newRow("cut in half") << fileBytes(gridFile).left(fileBytes(gridFile).size() / 2) << damaged;
        // A sound file of a kind not converted says which.
        vornetta::test::heif::File other;
        QCOMPARE(vornetta::test::buildGridHeif(vornetta::test::drawTestPicture(64, 64), 64, 64, &other),
                 QString());
        other.items[1].type = "av01";
        QTest::newRow("a grid of av01 tiles") << other.build() << "picture kind not supported: av01 in grid";
    }
    void aBrokenFileGivesNoOutput()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        const QString input = dir.filePath("broken.heic");
        QFile file(input);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        const QString target = dir.filePath("broken.jpg");

        CovertThread thread;
        convert(thread, input, target, "jpg");
        QVERIFY(!thread.succeeded);
        QCOMPARE(thread.failureReason, reason);
        QVERIFY(!QFileInfo::exists(target));
    }

    // Tiles that claim 1 x 1 pixels but decode to a million: the file fails at once, before any decoder
    // fills the work folder.
    void aSmallFileThatWouldDecodeHugeFailsAtOnce_data()
    {
        QTest::addColumn<int>("side"); // tiles per row and column; 0 for an overlay of 64 inputs that each
                                       // claim a grid of 10000 x 10000 pixels
        QTest::addColumn<int>("codedSide");
        QTest::newRow("2 x 2 tiles coded 4096 x 4096") << 2 << 4096;
        QTest::newRow("128 x 128 tiles coded 1024 x 1024") << 128 << 1024;
        QTest::newRow("overlay of 64 grids of 10000 x 10000") << 0 << 0;
    }
    void aSmallFileThatWouldDecodeHugeFailsAtOnce()
    {
        QFETCH(int, side);
        QFETCH(int, codedSide);
        const QString input = dir.filePath("lying grid.heic");
        if (side > 0) {
            const QString failure = vornetta::test::writeLyingGridHeic(side, side, codedSide, input);
            QVERIFY2(failure.isEmpty(), qPrintable(failure));
        } else {
            namespace heif = vornetta::test::heif;
            heif::File liar;
            QCOMPARE(vornetta::test::buildLyingOverlayHeif(&liar), QString());
            QCOMPARE(heif::writeFile(liar.build(), input), QString());
        }
        QTemporaryDir outputFolder;
        const QString work = QDir::tempPath() + "/Brembloc/Vornetta";

        CovertThread thread;
        thread.inputFile = input;
        thread.outputFile = outputFolder.filePath("lying.jpg");
        thread.format = "jpg";
        thread.start();
        qint64 mostBytes = 0;
        for (int looks = 0; !thread.wait(QDeadlineTimer(5)); ++looks) {
            mostBytes = std::max(mostBytes, vornetta::test::folderBytes(work));
            QVERIFY2(looks < 12000, "the conversion never ended");
        }
        QVERIFY2(mostBytes < 4 * 1024 * 1024, QByteArray::number(mostBytes));
        QVERIFY(!thread.succeeded);
        QCOMPARE(thread.failureReason, QStringLiteral("not a HEIC file or damaged"));
        QCOMPARE(QDir(outputFolder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
        QCOMPARE(QDir(work + "/thumb/hevc").entryList(QDir::Files), QStringList());
        QCOMPARE(QDir(work + "/thumb/jpeg").entryList(QDir::Files), QStringList());
        QVERIFY(QFile::remove(input));
    }

    // JPEG and PNG files made to hurt, named .heic: each ends as its one row says, its reading never grows
    // this process, and no process, output or reader's file is left.
    void hostileJpegAndPngFilesAreBounded_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("reason");  // empty: converted, without the text
        QTest::addColumn<int>("stopAfterMs"); // -1: not stopped
        const QByteArray jpeg = encodedPicture(drawing, "JPEG");
        const QByteArray png = encodedPicture(drawing, "PNG");
        const QByteArray text =
            pngChunk("zTXt", QByteArray("Comment\0\0", 9) + zlibStream(QByteArray(4 << 20, 'x')));
        const QByteArray emptyScans = jpegOfEmptyScans(8000, 8000, 20000);
        QTest::newRow("PNG, 100 text chunks of 4 MB") << withPngChunks(png, text.repeated(100)) << "" << -1;
        QTest::newRow("JPEG, 20000 empty scans") << emptyScans << "damaged JPEG file" << -1;
        QTest::newRow("JPEG, stopped while reading") << emptyScans << "stopped" << 500;
        QTest::newRow("PNG claiming 20000 x 20000")
            << pngClaiming(20000, 20000, 8) << "picture larger than 10239 pixels" << -1;
        QTest::newRow("16-bit PNG past the memory bound")
            << pngClaiming(8192, 8193, 16) << "not enough memory" << -1;
        QTest::newRow("JPEG cut short") << jpeg.left(jpeg.size() / 2) << "damaged JPEG file" << -1;
        QTest::newRow("PNG cut short") << png.left(png.size() / 2) << "damaged PNG file" << -1;
    }
    void hostileJpegAndPngFilesAreBounded()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        QFETCH(int, stopAfterMs);
        const QString input = dir.filePath("hostile.heic");
        QVERIFY(writeFile(input, content));
        QTemporaryDir outputFolder;
        const MemoryGrowth memory;
        CovertThread thread;
        thread.inputFile = input;
        thread.outputFile = outputFolder.filePath("hostile.jpg");
        thread.format = "jpg";
        thread.start();
        if (stopAfterMs >= 0) {
            QTest::qWait(stopAfterMs);
            QVERIFY(thread.isRunning());
            thread.requestStop();
        }
        QVERIFY(thread.wait(QDeadlineTimer(300000)));
        QCOMPARE(thread.failureReason, reason);
        // The picture itself takes 4 MB here; the reading happens elsewhere.
        QVERIFY2(memory.kib() < 200 * 1024, QByteArray::number(memory.kib()));
        QVERIFY(childProcesses().isEmpty());
        QCOMPARE(QDir(QDir::tempPath() + "/Brembloc/Vornetta/thumb").entryList({"picture.*"}), QStringList());
        if (!reason.isEmpty()) {
            QCOMPARE(QDir(outputFolder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                     QStringList());
            return;
        }
        QImageReader saved(thread.savedFile);
        QCOMPARE(saved.size(), drawing.size());
        QCOMPARE(saved.textKeys(), QStringList());
    }

    void refusesALinkedWorkFolder()
    {
        QTemporaryDir target;
        QFile precious(target.filePath("precious"));
        QVERIFY(precious.open(QIODevice::WriteOnly));
        precious.write("keep");
        precious.close();
        const QString work = QDir::tempPath() + "/Brembloc/Vornetta/thumb";
        QVERIFY(QDir(work).removeRecursively());
        QVERIFY(QFile::link(target.path(), work));

        CovertThread thread;
        convert(thread, gridFile, dir.filePath("linked.png"), "png");
        QVERIFY(!thread.succeeded);
        QVERIFY(!QFileInfo::exists(dir.filePath("linked.png")));
        QCOMPARE(QDir(target.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{"precious"});
        QVERIFY(QFile::remove(work));
    }
};

VORNETTA_TEST_MAIN(ConversionTest)
#include "tst_conversion.moc"
