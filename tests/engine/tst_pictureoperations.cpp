// SPDX-License-Identifier: GPL-3.0-or-later
#include <QColorSpace>
#include <QFile>
#include <QTemporaryDir>
#include <QTransform>

#include "engine/picture/alphaplane.h"
#include "engine/picture/exifembedding.h"
#include "engine/picture/imagesaver.h"
#include "engine/picture/pictureextras.h"
#include "fixtures/heicfixtures.h"
#include "tests/support/exiftags.h"
#include "tests/support/files.h"
#include "tests/support/testmain.h"

using vornetta::test::writeFile;

// The worker's side of the splitter's records: the transform text, the steps on a picture, the side files,
// and the Exif and file time of the saved file.
class PictureOperationsTest final : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;

private slots:
    void transformTextIsReadStrictly_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("steps"); // -1: refused
        QTest::newRow("empty") << QByteArray() << 0;
        QTest::newRow("every kind") << QByteArray("crop 0 10 200 120\nrotate 3\nmirror 1\nmirror 0\n") << 4;
        QTest::newRow("sixteen steps") << QByteArray("rotate 1\n").repeated(16) << 16;
        QTest::newRow("seventeen steps") << QByteArray("rotate 1\n").repeated(17) << -1;
        QTest::newRow("no final newline") << QByteArray("rotate 1") << -1;
        QTest::newRow("empty line") << QByteArray("rotate 1\n\n") << -1;
        QTest::newRow("rotate 0") << QByteArray("rotate 0\n") << -1;
        QTest::newRow("rotate 4") << QByteArray("rotate 4\n") << -1;
        QTest::newRow("mirror 2") << QByteArray("mirror 2\n") << -1;
        QTest::newRow("two blanks") << QByteArray("rotate  1\n") << -1;
        QTest::newRow("trailing blank") << QByteArray("rotate 1 \n") << -1;
        QTest::newRow("carriage return") << QByteArray("rotate 1\r\n") << -1;
        QTest::newRow("sign") << QByteArray("crop +1 0 10 10\n") << -1;
        QTest::newRow("leading zero") << QByteArray("crop 01 0 10 10\n") << -1;
        QTest::newRow("ten digits") << QByteArray("crop 1000000000 0 10 10\n") << -1;
        QTest::newRow("empty crop") << QByteArray("crop 0 0 0 10\n") << -1;
        QTest::newRow("three crop values") << QByteArray("crop 0 0 10\n") << -1;
        QTest::newRow("unknown step") << QByteArray("shear 1\n") << -1;
        QTest::newRow("NUL") << QByteArray("rotate 1\0\n", 10) << -1;
    }
    void transformTextIsReadStrictly()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, steps);
        const std::optional<std::vector<PictureOperation>> operations = parsePictureOperations(text);
        QCOMPARE(operations ? int(operations->size()) : -1, steps);
    }

    void stepsChangeThePicture()
    {
        // 3 x 2: a b c / d e f
        QImage picture(3, 2, QImage::Format_RGB32);
        for (int i = 0; i < 6; ++i)
            picture.setPixel(i % 3, i / 3, qRgb(i * 40, 0, 0));
        const auto red = [](const QImage& image) {
            QList<int> values;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    values.append(qRed(image.pixel(x, y)) / 40);
            return values;
        };
        QImage image = picture;
        QVERIFY(applyPictureOperations(image, *parsePictureOperations("rotate 1\n")));
        QCOMPARE(red(image), (QList<int>{2, 5, 1, 4, 0, 3})); // anticlockwise: c f / b e / a d
        image = picture;
        QVERIFY(applyPictureOperations(image, *parsePictureOperations("mirror 0\n")));
        QCOMPARE(red(image), (QList<int>{3, 4, 5, 0, 1, 2}));
        image = picture;
        QVERIFY(applyPictureOperations(image, *parsePictureOperations("mirror 1\ncrop 1 0 2 2\n")));
        QCOMPARE(red(image), (QList<int>{1, 0, 4, 3}));
        // A crop must lie inside the picture as the steps before it leave it.
        image = picture;
        QVERIFY(!applyPictureOperations(image, *parsePictureOperations("rotate 1\ncrop 0 0 3 2\n")));
        image = picture;
        QVERIFY(applyPictureOperations(image, *parsePictureOperations("rotate 1\ncrop 0 0 2 3\n")));
    }

    // On every depth the engine holds, a picture large enough for memory of its own (at a 2 MiB boundary)
    // comes out of each step as out of Qt's own copy(), transformed() and mirrored(), padded rows and all.
    void stepsMatchQtOnEveryDepth_data()
    {
        QTest::addColumn<QImage::Format>("format");
        for (const QImage::Format format :
             {QImage::Format_Grayscale8, QImage::Format_Grayscale16, QImage::Format_RGB32,
              QImage::Format_ARGB32, QImage::Format_RGBA64})
            QTest::newRow(QByteArray::number(int(format))) << format;
    }
    void stepsMatchQtOnEveryDepth()
    {
        QFETCH(QImage::Format, format);
        QImage picture(2101, 1103, format);
        for (int y = 0; y < picture.height(); ++y)
            for (qsizetype x = 0; x < picture.bytesPerLine(); ++x)
                picture.scanLine(y)[x] = uchar((x * 7 + y * 13) ^ (x >> 3));
        const std::pair<const char*, QImage> cases[] = {
            {"crop 7 5 2000 1090\n", picture.copy(7, 5, 2000, 1090)},
            {"rotate 1\n", picture.transformed(QTransform().rotate(-90))},
            {"rotate 2\n", picture.transformed(QTransform().rotate(-180))},
            {"rotate 3\n", picture.transformed(QTransform().rotate(-270))},
            {"mirror 0\n", picture.mirrored(false, true)},
            {"mirror 1\n", picture.mirrored(true, false)}};
        for (const auto& [steps, expected] : cases) {
            QImage image = picture;
            QVERIFY(applyPictureOperations(image, *parsePictureOperations(steps)));
            QCOMPARE(image, expected);
            QCOMPARE(quintptr(image.constBits()) % (2 << 20), quintptr(0));
        }
    }

    // The alpha plane's grey becomes the picture's alpha, premultiplied colour divided by it again (rounded,
    // never past the largest sample), and a smaller plane is scaled to the picture first.
    void alphaPlaneGivesTheAlpha_data()
    {
        QTest::addColumn<QImage::Format>("format");
        QTest::addColumn<QRgba64>("colour");
        QTest::addColumn<bool>("premultiplied");
        QTest::addColumn<int>("planeSide");
        QTest::addColumn<QRgba64>("expected");
        const auto rgb = [](int r, int g, int b, int a = 255) { return QRgba64::fromRgba(r, g, b, a); };
        QTest::newRow("straight") << QImage::Format_RGB32 << rgb(100, 50, 200) << false << 4
                                  << rgb(100, 50, 200, 128);
        QTest::newRow("premultiplied, one past the largest")
            << QImage::Format_RGB32 << rgb(64, 32, 200) << true << 4 << rgb(128, 64, 255, 128);
        QTest::newRow("plane of half the size")
            << QImage::Format_RGB32 << rgb(1, 2, 3) << false << 2 << rgb(1, 2, 3, 128);
        QTest::newRow("16-bit premultiplied")
            << QImage::Format_RGBX64 << QRgba64::fromRgba64(16448, 8224, 40000, 65535) << true << 4
            << QRgba64::fromRgba64(32768, 16384, 65535, 32896);
    }
    void alphaPlaneGivesTheAlpha()
    {
        QFETCH(QImage::Format, format);
        QFETCH(QRgba64, colour);
        QFETCH(bool, premultiplied);
        QFETCH(int, planeSide);
        QFETCH(QRgba64, expected);
        QImage picture(4, 4, format);
        picture.fill(QColor::fromRgba64(colour));
        QImage plane(planeSide, planeSide, QImage::Format_ARGB32); // a grey tile as it decodes
        plane.fill(qRgb(128, 128, 128));
        QVERIFY(applyAlphaPlane(picture, plane, premultiplied));
        QCOMPARE(picture.format(),
                 format == QImage::Format_RGB32 ? QImage::Format_ARGB32 : QImage::Format_RGBA64);
        const QRgba64 pixel = picture.pixelColor(3, 3).rgba64();
        QCOMPARE(format == QImage::Format_RGB32 ? pixel.toArgb32() : pixel,
                 format == QImage::Format_RGB32 ? expected.toArgb32() : expected);
    }

    void sideFilesAreRequiredOrOptional()
    {
        const QString prefix = dir.filePath("hevc");
        PictureExtrasResult read = readPictureExtras(prefix);
        QVERIFY(!read.status.ok());
        QCOMPARE(read.status.reason, QString("cannot read the picture's orientation"));

        QVERIFY(writeFile(prefix + "transform", "mirror 1\n"));
        QVERIFY(writeFile(prefix + "icc", "profile"));
        QVERIFY(writeFile(prefix + "exif", QByteArray(1024 * 1024 + 1, 'x')));
        read = readPictureExtras(prefix);
        QVERIFY(read.status.ok());
        PictureExtras& extras = read.extras;
        QCOMPARE(extras.operations.size(), size_t(1));
        QCOMPARE(extras.iccProfile, QByteArray("profile"));
        QCOMPARE(extras.exif, QByteArray()); // too large: left out

        // A profile Qt cannot read is left out; BMP files get none at all.
        QImage image(4, 4, QImage::Format_RGB32);
        QVERIFY(preparePicture(image, extras, OutputFormat::Png).ok());
        QVERIFY(!image.colorSpace().isValid());
        extras.iccProfile = QColorSpace(QColorSpace::DisplayP3).iccProfile();
        QVERIFY(preparePicture(image, extras, OutputFormat::Bmp).ok());
        QVERIFY(!image.colorSpace().isValid());
        QVERIFY(preparePicture(image, extras, OutputFormat::Jpg).ok());
        QCOMPARE(image.colorSpace(), QColorSpace(QColorSpace::DisplayP3));

        extras.operations = *parsePictureOperations("crop 2 2 3 3\n");
        const StepResult prepared = preparePicture(image, extras, OutputFormat::Png);
        QVERIFY(!prepared.ok());
        QCOMPARE(prepared.reason, QString("cannot read the picture's orientation"));
    }

    void exifIsEmbeddedOrLeftOut_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("jpg") << QByteArray("JPG");
        QTest::newRow("png") << QByteArray("PNG");
    }
    void exifIsEmbeddedOrLeftOut()
    {
        QFETCH(QByteArray, format);
        const QImage picture = vornetta::test::drawTestPicture(64, 48);
        const QByteArray original = vornetta::test::encodedPicture(picture, format);
        const QString path = dir.filePath("embedded." + format.toLower());
        QVERIFY(writeFile(path, original));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QCOMPARE(embedExifInFile(file.handle(), "not an Exif block", picture.size()).outcome,
                 ExifEmbedding::LeftOut);
        QCOMPARE(vornetta::test::fileBytes(path), original);

        const QByteArray exif =
            vornetta::test::exifBlock({{"Exif.Image.Make", "Brembloc"},
                                       {"Exif.Image.Orientation", "8"},
                                       {"Exif.Thumbnail.Compression", "6"},
                                       {"Exif.Thumbnail.JPEGInterchangeFormat", "0"},
                                       {"Exif.Thumbnail.JPEGInterchangeFormatLength", "0"}});
        QCOMPARE(embedExifInFile(file.handle(), exif, picture.size()).outcome, ExifEmbedding::Embedded);
        file.close();
        const QMap<QString, QString> tags = vornetta::test::exifTagsOf(path);
        QCOMPARE(tags.value("Exif.Image.Make"), QString("Brembloc"));
        QCOMPARE(tags.value("Exif.Image.Orientation"), QString("1"));
        QVERIFY(!tags.contains("Exif.Thumbnail.Compression"));
        // The pixels are the writer's (JPEG at its default quality).
        QVERIFY(vornetta::test::psnr(QImage(path), picture) > 25);
    }

    void unusableExifStillSavesThePicture()
    {
        const QString path = dir.filePath("saved.jpg");
        const SaveResult saved =
            saveImage(vornetta::test::drawTestPicture(64, 48), OutputNames::from(path, path),
                      OutputFormat::Jpg, {}, SaveExtras{"garbage", dir.filePath("no such source.heic")});
        QVERIFY2(saved.status.ok(), qPrintable(saved.status.reason));
        QCOMPARE(saved.path, path);
        QVERIFY(!QImage(path).isNull());
        QVERIFY(vornetta::test::exifTagsOf(path).isEmpty());
        QCOMPARE(QDir(dir.path()).entryList({"saved*"}, QDir::Files | QDir::Hidden),
                 QStringList{"saved.jpg"});
    }
};

VORNETTA_TEST_MAIN(PictureOperationsTest)
#include "tst_pictureoperations.moc"
