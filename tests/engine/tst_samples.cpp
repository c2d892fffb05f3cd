#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTransform>

#include "engine/covertthread.h"
#include "engine/toolrunner.h"
#include "tests/support/heicfixtures.h"
#include "tests/support/testmain.h"

// Real camera files, when the samples folder is there, against heif-convert's decode of the same file.
class SamplesTest final : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;

    void convert(const QString& input, const QString& outputFile, bool* succeeded, QString* reason)
    {
        CovertThread thread;
        QSignalSpy finished(&thread, &QThread::finished);
        thread.itemIndex = 0;
        thread.inputFile = input;
        thread.outputFile = outputFile;
        thread.format = "png";
        thread.start();
        QVERIFY(thread.wait(QDeadlineTimer(300000)));
        QCOMPARE(finished.count(), 1);
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
        QTest::addColumn<int>("rotation"); // to turn the reference back to the stored orientation
        QTest::newRow("phone portrait") << "iphone-portrait-3024x4032.heic" << 0;
        QTest::newRow("phone, rotated") << "iphone-rotated-4032x3024-irot3.heic" << 270;
        QTest::newRow("other phone grid") << "phone-grid-2592x1944.heic" << 0;
        QTest::newRow("single image with thumbnails") << "single-image-1280x854.heic" << 0;
        QTest::newRow("single image") << "single-image-1440x960.heic" << 0;
        QTest::newRow("480 x 320 tiles") << "grid-480x320-tiles-960x640.heic" << 0;
    }
    void matchesTheReferenceDecode()
    {
        QFETCH(QString, file);
        QFETCH(int, rotation);
        const QString input = vornetta::test::samplesFolder() + "/" + file;
        const QString output = dir.filePath(QFileInfo(file).completeBaseName() + ".png");
        bool succeeded = false;
        QString reason;
        convert(input, output, &succeeded, &reason);
        QVERIFY2(succeeded, qPrintable(reason));

        QImage reference = decodeWithHeifConvert(input);
        QVERIFY(!reference.isNull());
        if (rotation != 0)
            reference = reference.transformed(QTransform().rotate(rotation));
        const QImage converted = QImage(output).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(converted.size(), reference.size());
        const double quality = vornetta::test::psnr(converted, reference);
        QVERIFY2(quality >= 40, qPrintable(QString::number(quality)));
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
