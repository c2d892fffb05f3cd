// SPDX-License-Identifier: GPL-3.0-or-later
#include <QColorSpace>
#include <QProcess>
#include <QStandardPaths>

#include "engine/covertthread.h"
#include "engine/process/toolrunner.h"
#include "fixtures/heicfixtures.h"
#include "tests/support/exiftags.h"
#include "tests/support/testmain.h"
#include "tests/support/workerrun.h"

// Real camera files, when the samples folder is there, against heif-convert's decode of the same file.
class SamplesTest final : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;

    void convert(const QString& input, const QString& outputFile, bool* succeeded, QString* reason,
                 const QString& format = "png")
    {
        // The worker never replaces a file: the previous case's output goes first.
        QFile::remove(outputFile);
        CovertThread thread;
        const vornetta::test::WorkerRun run =
            vornetta::test::runWorker(thread, 0, input, outputFile, format, 300000);
        QVERIFY(run.ended);
        QCOMPARE(run.finishedSignals, 1);
        *succeeded = thread.succeeded;
        *reason = thread.failureReason;
    }

    // heif-convert writes every top-level image, numbered in heif-info's order when there are several;
    // the primary one is the picture.
    QImage decodeWithHeifConvert(const QString& input)
    {
        QProcess info;
        info.start(QStandardPaths::findExecutable("heif-info"), {input});
        if (!info.waitForFinished(60000) || info.exitCode() != 0)
            return {};
        int images = 0;
        int primary = 0;
        for (const QByteArray& line : info.readAllStandardOutput().split('\n')) {
            if (!line.startsWith("image:"))
                continue;
            ++images;
            if (line.endsWith(", primary"))
                primary = images;
        }

        QDir(dir.filePath("reference")).removeRecursively();
        QDir().mkpath(dir.filePath("reference"));
        QProcess convert;
        convert.start(QStandardPaths::findExecutable("heif-convert"),
                      {input, dir.filePath("reference/out.png")});
        if (!convert.waitForFinished(120000) || convert.exitCode() != 0)
            return {};
        const QString output =
            images > 1 ? QString("reference/out-%1.png").arg(primary) : "reference/out.png";
        return QImage(dir.filePath(output)).convertToFormat(QImage::Format_RGB32);
    }

private slots:
    void initTestCase()
    {
        if (vornetta::test::samplesFolder().isEmpty())
            QSKIP("no samples folder");
        const QString program = vornetta::test::programFolder();
        if (!QFileInfo(program + "/heic/heic").isExecutable())
            QSKIP("the program folder has no heic/heic");
        if (QStandardPaths::findExecutable("heif-convert").isEmpty() ||
            QStandardPaths::findExecutable("heif-info").isEmpty())
            QSKIP("heif-convert or heif-info is not installed");
        overrideProgramFolder(program.toStdString());
    }
    void cleanupTestCase() { overrideProgramFolder(std::string()); }

    void matchesTheReferenceDecode_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("size"); // upright
        QTest::newRow("phone portrait") << "iphone-portrait-3024x4032.heic" << QSize(3024, 4032);
        QTest::newRow("phone, rotated") << "iphone-rotated-4032x3024-irot3.heic" << QSize(3024, 4032);
        QTest::newRow("other phone grid") << "phone-grid-2592x1944.heic" << QSize(2592, 1944);
        QTest::newRow("single image with thumbnails") << "single-image-1280x854.heic" << QSize(1280, 854);
        QTest::newRow("single image") << "single-image-1440x960.heic" << QSize(1440, 960);
        QTest::newRow("480 x 320 tiles") << "grid-480x320-tiles-960x640.heic" << QSize(960, 640);
    }
    void matchesTheReferenceDecode()
    {
        QFETCH(QString, file);
        QFETCH(QSize, size);
        const QString input = vornetta::test::samplesFolder() + "/" + file;
        const QString output = dir.filePath(QFileInfo(file).completeBaseName() + ".png");
        bool succeeded = false;
        QString reason;
        convert(input, output, &succeeded, &reason);
        QVERIFY2(succeeded, qPrintable(reason));

        const QImage reference = decodeWithHeifConvert(input);
        QCOMPARE(reference.size(), size);
        const QImage converted = QImage(output).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(converted.size(), size);
        const double quality = vornetta::test::psnr(converted, reference);
        qInfo("%s: %.1f dB", qPrintable(file), quality);
        QVERIFY2(quality >= 40, qPrintable(QString::number(quality)));
    }

    // The phone's colour profile and Exif go into JPG and PNG files, upright.
    void keepsThePhonesProfileAndExif_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("format");
        QTest::addColumn<bool>("displayP3");
        QTest::addColumn<QStringList>("tags"); // make, model, date taken, GPS latitude or ""
        const QString portrait = "iphone-portrait-3024x4032.heic";
        const QStringList apple{"Apple", "iPhone 11 Pro", "2020:05:04 18:39:11", ""};
        const QString grid = "phone-grid-2592x1944.heic";
        const QStringList xiaomi{"Xiaomi", "M2012K11AG", "2023:04:27 19:44:18", "47/1 13/1 38240039/1000000"};
        QTest::newRow("phone portrait, jpg") << portrait << "jpg" << true << apple;
        QTest::newRow("phone portrait, png") << portrait << "png" << true << apple;
        QTest::newRow("phone with GPS, jpg") << grid << "jpg" << false << xiaomi;
        QTest::newRow("phone with GPS, png") << grid << "png" << false << xiaomi;
    }
    void keepsThePhonesProfileAndExif()
    {
        QFETCH(QString, file);
        QFETCH(QString, format);
        QFETCH(bool, displayP3);
        QFETCH(QStringList, tags);
        const QString input = vornetta::test::samplesFolder() + "/" + file;
        const QString output = dir.filePath("metadata." + format);
        bool succeeded = false;
        QString reason;
        convert(input, output, &succeeded, &reason, format);
        QVERIFY2(succeeded, qPrintable(reason));
        QCOMPARE(QFileInfo(output).lastModified(), QFileInfo(input).lastModified());

        const QColorSpace profile = QImage(output).colorSpace();
        QCOMPARE(profile.isValid(), displayP3);
        if (displayP3) {
            QCOMPARE(profile.primaries(), QColorSpace::Primaries::DciP3D65);
            QCOMPARE(profile.transferFunction(), QColorSpace::TransferFunction::SRgb);
        }

        const QMap<QString, QString> saved = vornetta::test::exifTagsOf(output);
        QCOMPARE(saved.value("Exif.Image.Make"), tags[0]);
        QCOMPARE(saved.value("Exif.Image.Model"), tags[1]);
        QCOMPARE(saved.value("Exif.Photo.DateTimeOriginal"), tags[2]);
        QCOMPARE(saved.value("Exif.GPSInfo.GPSLatitude"), tags[3]);
        QCOMPARE(saved.value("Exif.Image.Orientation"), QString("1"));
    }

    void unusableFilesGiveNoOutput_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("reason");
        QTest::newRow("over the limit") << "over-limit-16320x12240.heic"
                                        << "picture larger than 10239 pixels";
        QTest::newRow("truncated") << "truncated.heic"
                                   << "not a HEIC file or damaged";
        QTest::newRow("corrupted") << "corrupted.heic"
                                   << "not a HEIC file or damaged";
    }
    void unusableFilesGiveNoOutput()
    {
        QFETCH(QString, file);
        QFETCH(QString, reason);
        const QString output = dir.filePath("unusable.png");
        bool succeeded = true;
        QString reported;
        convert(vornetta::test::samplesFolder() + "/" + file, output, &succeeded, &reported);
        QVERIFY(!succeeded);
        QCOMPARE(reported, reason);
        QVERIFY(!QFileInfo::exists(output));
    }
};

VORNETTA_TEST_MAIN(SamplesTest)
#include "tst_samples.moc"
