// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>

#include <QBuffer>
#include <QColorSpace>
#include <QImageWriter>
#include <QProcess>
#include <QStandardPaths>

#include "engine/conversion.h"
#include "engine/covertthread.h"
#include "engine/process/toolrunner.h"
#include "fixtures/heicfixtures.h"
#include "fixtures/heifwriter.h"
#include "protocol/protocol.h"
#include "tests/support/exiftags.h"
#include "tests/support/files.h"
#include "tests/support/picturefiles.h"
#include "tests/support/testmain.h"
#include "tests/support/workerrun.h"

using namespace vornetta::test;

// Crop, rotation and mirror properties, colour profiles and Exif in files the test makes, converted with
// the real splitter and ffmpeg, and the pictures compared with heif-convert's decode of the same files.
class PicturesTest final : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    QImage drawing;
    heif::File grid; // the drawing as a grid of two tiles; item 1 the grid

    // The grid with more properties on the grid item, in the given order, written to name.heic.
    QString variant(const QString& name, const QList<QByteArray>& properties)
    {
        heif::File file = grid;
        for (const QByteArray& property : properties) {
            file.properties.append(property);
            file.items[0].properties.append(int(file.properties.size()));
            file.items[0].essential.append(int(file.properties.size()));
        }
        const QString path = dir.filePath(name + ".heic");
        const QString failure = heif::writeFile(file.build(), path);
        return failure.isEmpty() ? path : QString();
    }

    static void convert(const QString& input, const QString& output, const QString& format, bool* succeeded,
                        QString* reason)
    {
        // The worker never replaces a file: the previous case's output goes first.
        QFile::remove(output);
        CovertThread thread;
        const vornetta::test::WorkerRun run =
            vornetta::test::runWorker(thread, 0, input, output, format, 120000);
        QVERIFY(run.ended);
        QCOMPARE(run.finishedSignals, 1);
        *succeeded = thread.succeeded;
        *reason = thread.failureReason;
    }

    QImage decodeWithHeifConvert(const QString& input)
    {
        const QString output = dir.filePath("reference.png");
        QFile::remove(output);
        QProcess process;
        process.start(QStandardPaths::findExecutable("heif-convert"), {input, output});
        if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
            process.exitCode() != 0)
            return {};
        return QImage(output).convertToFormat(QImage::Format_RGB32);
    }

private slots:
    void initTestCase()
    {
        const QString program = vornetta::test::programFolder();
        if (!QFileInfo(program + "/heic/heic").isExecutable() ||
            !QFileInfo(program + "/ffmpeg").isExecutable())
            QSKIP("the program folder has no heic/heic or no ffmpeg");
        if (QStandardPaths::findExecutable("heif-convert").isEmpty())
            QSKIP("heif-convert is not installed");
        overrideProgramFolder(program.toStdString());
        // Not square and not symmetric, so that every turn and flip shows in the size or the pixels.
        drawing = drawTestPicture(320, 240);
        const QString failure = buildGridHeif(drawing, 256, 256, &grid);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }
    void cleanupTestCase() { overrideProgramFolder(std::string()); }

    void comesOutAsHeifConvertShowsIt_data()
    {
        QTest::addColumn<QList<QByteArray>>("properties");
        QTest::addColumn<QSize>("size");
        const QByteArray centred = heif::clapProperty(200, 1, 120, 1, 0, 1, 0, 1);
        // Centre moved 20 left and 10 down: the rectangle 40, 70, 200 x 120.
        const QByteArray offCentre = heif::clapProperty(200, 1, 120, 1, -40, 2, 10, 1);
        const QByteArray fractions = heif::clapProperty(3001, 20, 1001, 10, 7, 3, -5, 4);
        QTest::newRow("nothing") << QList<QByteArray>{} << QSize(320, 240);
        QTest::newRow("irot 0") << QList<QByteArray>{heif::irotProperty(0)} << QSize(320, 240);
        QTest::newRow("irot 1") << QList<QByteArray>{heif::irotProperty(1)} << QSize(240, 320);
        QTest::newRow("irot 2") << QList<QByteArray>{heif::irotProperty(2)} << QSize(320, 240);
        QTest::newRow("irot 3") << QList<QByteArray>{heif::irotProperty(3)} << QSize(240, 320);
        QTest::newRow("imir 0") << QList<QByteArray>{heif::imirProperty(0)} << QSize(320, 240);
        QTest::newRow("imir 1") << QList<QByteArray>{heif::imirProperty(1)} << QSize(320, 240);
        QTest::newRow("clap centred") << QList<QByteArray>{centred} << QSize(200, 120);
        QTest::newRow("clap off centre") << QList<QByteArray>{offCentre} << QSize(200, 120);
        QTest::newRow("clap with fractions") << QList<QByteArray>{fractions} << QSize(150, 100);
        QTest::newRow("irot 1, imir 0")
            << QList<QByteArray>{heif::irotProperty(1), heif::imirProperty(0)} << QSize(240, 320);
        QTest::newRow("imir 0, irot 1")
            << QList<QByteArray>{heif::imirProperty(0), heif::irotProperty(1)} << QSize(240, 320);
        QTest::newRow("irot 3, imir 1")
            << QList<QByteArray>{heif::irotProperty(3), heif::imirProperty(1)} << QSize(240, 320);
        QTest::newRow("clap, irot 3")
            << QList<QByteArray>{offCentre, heif::irotProperty(3)} << QSize(120, 200);
        QTest::newRow("irot 3, clap")
            << QList<QByteArray>{heif::irotProperty(3), offCentre} << QSize(200, 120);
        QTest::newRow("imir 1, clap, irot 2")
            << QList<QByteArray>{heif::imirProperty(1), offCentre, heif::irotProperty(2)} << QSize(200, 120);
    }
    void comesOutAsHeifConvertShowsIt()
    {
        QFETCH(QList<QByteArray>, properties);
        QFETCH(QSize, size);
        const QString input = variant("variant", properties);
        QVERIFY(!input.isEmpty());
        const QImage reference = decodeWithHeifConvert(input);
        QCOMPARE(reference.size(), size); // the reference applies the properties too

        const QString output = dir.filePath("converted.png");
        bool succeeded = false;
        QString reason;
        convert(input, output, "png", &succeeded, &reason);
        QVERIFY2(succeeded, qPrintable(reason));
        const QImage converted = QImage(output).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(converted.size(), size);
        const double quality = psnr(converted, reference);
        qInfo("%s: %.1f dB", QTest::currentDataTag(), quality);
        QVERIFY2(quality >= 40, qPrintable(QString::number(quality)));
    }

    // Transparency, deep colour and overlays as heif-convert decodes them: PNG files keep the alpha plane and
    // 16 bits for 10- and 12-bit colour (8 when asked), an overlay is its inputs drawn over the fill colour.
    void richPicturesComeOutAsHeifConvertShowsThem_data()
    {
        QTest::addColumn<QString>("maker"); // heif-enc, grid (an alpha grid on a grid) or overlay
        QTest::addColumn<int>("bits");
        QTest::addColumn<bool>("alpha");
        QTest::addColumn<bool>("keepDepth");
        QTest::addColumn<double>("leastPsnr"); // on 16-bit values
        QTest::newRow("RGBA 8-bit") << "heif-enc" << 8 << true << true << 50.0;
        QTest::newRow("RGBA 10-bit") << "heif-enc" << 10 << true << true << 50.0;
        QTest::newRow("RGB 12-bit") << "heif-enc" << 12 << false << true << 50.0;
        QTest::newRow("RGB 12-bit in 8 bits") << "heif-enc" << 12 << false << false << 45.0;
        QTest::newRow("grid with an alpha grid") << "grid" << 8 << true << true << 50.0;
        QTest::newRow("overlay") << "overlay" << 8 << false << true << 45.0;
    }
    void richPicturesComeOutAsHeifConvertShowsThem()
    {
        QFETCH(QString, maker);
        QFETCH(int, bits);
        QFETCH(bool, alpha);
        QFETCH(bool, keepDepth);
        QFETCH(double, leastPsnr);
        const QString input = dir.filePath("rich.heic");
        const QImage picture = alpha ? withTestAlpha(drawTestPicture(600, 400)) : drawTestPicture(600, 400);
        if (maker == "heif-enc") {
            if (QStandardPaths::findExecutable("heif-enc").isEmpty())
                QSKIP("heif-enc is not installed");
            QCOMPARE(writeSingleHeic(picture, input, bits), QString());
        } else {
            heif::File file;
            if (maker != "overlay") {
                QCOMPARE(buildGridHeif(picture, 256, 256, &file), QString());
                QCOMPARE(addAlphaPlane(picture, 1, 100, &file, 256), QString());
            } else {
                // The grid and a transparent picture over a blue canvas, the picture partly outside it.
                QCOMPARE(buildOverlayHeif(&file, {350, 300}), QString());
            }
            QCOMPARE(heif::writeFile(file.build(), input), QString());
        }
        const QString referenceFile = dir.filePath("reference.png");
        QFile::remove(referenceFile);
        QCOMPARE(QProcess::execute(QStandardPaths::findExecutable("heif-convert"), {input, referenceFile}),
                 0);
        const QImage reference = QImage(referenceFile).convertToFormat(QImage::Format_RGBA64);

        const QString output = dir.filePath("rich.png");
        QFile::remove(output);
        ConversionRequest request{input, output, OutputFormat::Png};
        request.keepDepth = keepDepth;
        const ConversionResult result = convertFile(request);
        QVERIFY2(result.succeeded(), qPrintable(result.status.reason));
        const QImage saved(output);
        QCOMPARE(saved.size(), reference.size());
        QCOMPARE(saved.depth() == 64, bits > 8 && keepDepth);
        QCOMPARE(saved.hasAlphaChannel(), alpha);
        const QImage converted = saved.convertToFormat(QImage::Format_RGBA64);
        double squares = 0;
        int alphaDifference = 0;
        for (int y = 0; y < converted.height(); ++y) {
            const auto* ours = reinterpret_cast<const QRgba64*>(converted.constScanLine(y));
            const auto* theirs = reinterpret_cast<const QRgba64*>(reference.constScanLine(y));
            for (int x = 0; x < converted.width(); ++x) {
                for (const auto channel : {&QRgba64::red, &QRgba64::green, &QRgba64::blue})
                    squares += std::pow(double((ours[x].*channel)()) - (theirs[x].*channel)(), 2);
                alphaDifference = qMax(alphaDifference, qAbs(ours[x].alpha8() - theirs[x].alpha8()));
            }
        }
        const double quality =
            10 * std::log10(65535.0 * 65535.0 * 3 * converted.width() * converted.height() / squares);
        qInfo("%s: %.1f dB, alpha within %d", QTest::currentDataTag(), quality, alphaDifference);
        // The system's ffmpeg interpolates chroma, which shows at the drawing's sharp colour edges.
        const bool systemDecoder = QFileInfo(vornetta::test::programFolder() + "/ffmpeg").isSymLink();
        QVERIFY2(quality >= leastPsnr - (systemDecoder ? 8 : 0), qPrintable(QString::number(quality)));
        QVERIFY(alphaDifference <= 1);
    }

    void carriesTheProfileAndExif_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<bool>("withMetadata");
        QTest::newRow("jpg") << "jpg" << true;
        QTest::newRow("png") << "png" << true;
        QTest::newRow("bmp") << "bmp" << false;
    }
    void carriesTheProfileAndExif()
    {
        QFETCH(QString, format);
        QFETCH(bool, withMetadata);
        const QByteArray profile = QColorSpace(QColorSpace::DisplayP3).iccProfile();
        const QByteArray exif = exifBlock({{"Exif.Image.Make", "Brembloc Optics"},
                                           {"Exif.Image.Model", "Vornetta One"},
                                           {"Exif.Image.Orientation", "6"},
                                           {"Exif.Photo.DateTimeOriginal", "2024:05:06 07:08:09"},
                                           {"Exif.Photo.PixelXDimension", "320"},
                                           {"Exif.Photo.PixelYDimension", "240"},
                                           {"Exif.GPSInfo.GPSLatitudeRef", "N"},
                                           {"Exif.GPSInfo.GPSLatitude", "48/1 51/1 2964/100"},
                                           {"Exif.GPSInfo.GPSLongitudeRef", "E"},
                                           {"Exif.GPSInfo.GPSLongitude", "2/1 17/1 4008/100"}});
        QVERIFY(!exif.isEmpty());
        heif::File file = grid;
        file.properties.append(heif::colrIccProperty(profile));
        file.properties.append(heif::irotProperty(3));
        file.items[0].properties += {int(file.properties.size()) - 1, int(file.properties.size())};
        heif::Item exifItem;
        exifItem.id = quint32(file.items.size() + 1);
        exifItem.type = "Exif";
        exifItem.data = exifItemData(exif);
        file.items.append(exifItem);
        file.references.append(heif::Reference{"cdsc", exifItem.id, {1}});
        const QString input = dir.filePath("with metadata.heic");
        QCOMPARE(heif::writeFile(file.build(), input), QString());
        const QDateTime taken = QDateTime::fromString("2024-05-06T07:08:09.250Z", Qt::ISODateWithMs);
        {
            QFile source(input);
            QVERIFY(source.open(QIODevice::ReadWrite));
            QVERIFY(source.setFileTime(taken, QFileDevice::FileModificationTime));
        }

        const QString output = dir.filePath("with metadata." + format);
        bool succeeded = false;
        QString reason;
        convert(input, output, format, &succeeded, &reason);
        QVERIFY2(succeeded, qPrintable(reason));
        QCOMPARE(QFileInfo(output).lastModified(), taken);

        const QImage saved(output);
        QCOMPARE(saved.size(), QSize(240, 320));
        QCOMPARE(saved.colorSpace().iccProfile() == profile, withMetadata);
        const QMap<QString, QString> tags = exifTagsOf(output);
        if (!withMetadata) {
            QVERIFY(tags.isEmpty());
            return;
        }
        QCOMPARE(tags.value("Exif.Image.Make"), QString("Brembloc Optics"));
        QCOMPARE(tags.value("Exif.Image.Model"), QString("Vornetta One"));
        QCOMPARE(tags.value("Exif.Photo.DateTimeOriginal"), QString("2024:05:06 07:08:09"));
        QCOMPARE(tags.value("Exif.GPSInfo.GPSLatitude"), QString("48/1 51/1 2964/100"));
        QCOMPARE(tags.value("Exif.GPSInfo.GPSLongitudeRef"), QString("E"));
        // The pixels are upright already.
        QCOMPARE(tags.value("Exif.Image.Orientation"), QString("1"));
        QCOMPARE(tags.value("Exif.Photo.PixelXDimension"), QString("240"));
        QCOMPARE(tags.value("Exif.Photo.PixelYDimension"), QString("320"));
    }

    // JPEG and PNG files of every kind, named .heic, come out as Qt's own reader reads them: the same pixels
    // at the same depth, grey as grey, and the same colour space. A profile over 4 MiB is left out, as a HEIC
    // file's is.
    void jpegAndPngFilesComeOutAsQtReadsThem_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("profileKept");
        const QImage grey = drawing.convertToFormat(QImage::Format_Grayscale8);
        const QByteArray jpeg = encodedPicture(drawing, "JPEG");
        QByteArray progressive;
        QBuffer buffer(&progressive);
        QVERIFY(buffer.open(QIODevice::WriteOnly));
        QImageWriter writer(&buffer, "JPEG");
        writer.setProgressiveScanWrite(true);
        QVERIFY(writer.write(drawing));
        QImage p3 = drawing;
        p3.setColorSpace(QColorSpace(QColorSpace::DisplayP3));
        const auto profileOf = [](qsizetype bytes) {
            QByteArray profile = QColorSpace(QColorSpace::DisplayP3).iccProfile();
            profile += QByteArray(bytes - profile.size(), '\0');
            for (int n = 0; n < 4; ++n)
                profile[n] = char(bytes >> (24 - 8 * n));
            return profile;
        };
        const qsizetype most = qsizetype(protocol::kMaxIccProfileBytes);
        const auto iccp = [&](qsizetype bytes) {
            return pngChunk("iCCP", QByteArray("P3\0\0", 4) + zlibStream(profileOf(bytes)));
        };
        const QByteArray rgb = pngOf(drawing, 2, 8);
        QTest::newRow("JPEG") << jpeg << true;
        QTest::newRow("grey JPEG") << encodedPicture(grey, "JPEG") << true;
        QTest::newRow("progressive JPEG") << progressive << true;
        QTest::newRow("CMYK JPEG") << adobeJpegOf(drawing, false) << true;
        QTest::newRow("YCCK JPEG") << adobeJpegOf(drawing, true) << true;
        QTest::newRow("JPEG, Display P3") << encodedPicture(p3, "JPEG") << true;
        QTest::newRow("JPEG, 4 MiB profile") << withJpegProfile(jpeg, profileOf(most)) << true;
        QTest::newRow("JPEG, larger profile") << withJpegProfile(jpeg, profileOf(most + 1)) << false;
        QTest::newRow("palette PNG") << encodedPicture(drawing.convertToFormat(QImage::Format_Indexed8),
                                                       "PNG")
                                     << true;
        QTest::newRow("grey PNG") << pngOf(drawing, 0, 8) << true;
        QTest::newRow("grey and alpha PNG") << pngOf(drawing, 4, 8) << true;
        QTest::newRow("RGBA PNG") << pngOf(drawing, 6, 8) << true;
        QTest::newRow("16-bit grey PNG") << pngOf(drawing, 0, 16) << true;
        QTest::newRow("16-bit RGB PNG") << pngOf(drawing, 2, 16) << true;
        QTest::newRow("16-bit grey and alpha PNG") << pngOf(drawing, 4, 16) << true;
        QTest::newRow("interlaced PNG") << pngOf(drawing, 2, 8, true) << true;
        QTest::newRow("interlaced 16-bit RGBA PNG") << pngOf(drawing, 6, 16, true) << true;
        QByteArray chromaticities;
        for (const quint32 value : {31270, 32900, 64000, 33000, 30000, 60000, 15000, 6000})
            heif::putU32(chromaticities, value);
        const QByteArray srgb = pngChunk("sRGB", QByteArray(1, '\0'));
        const QByteArray gamma =
            pngChunk("gAMA", QByteArray("\0\0\xb1\x8f", 4)) + pngChunk("cHRM", chromaticities);
        QTest::newRow("PNG, sRGB") << withPngChunks(rgb, srgb) << true;
        QTest::newRow("PNG, gAMA and cHRM") << withPngChunks(rgb, gamma) << true;
        // libpng then finds none of them valid.
        QTest::newRow("PNG, sRGB, gAMA, cHRM, then a profile")
            << withPngChunks(rgb, srgb + gamma + iccp(1000)) << true;
        QTest::newRow("PNG, 4 MiB profile") << withPngChunks(rgb, iccp(most)) << true;
        QTest::newRow("PNG, larger profile") << withPngChunks(rgb, iccp(most + 1)) << false;
    }
    void jpegAndPngFilesComeOutAsQtReadsThem()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, profileKept);
        const QString input = dir.filePath("picture.heic");
        QVERIFY(writeFile(input, content));
        QImage reference;
        QVERIFY(reference.loadFromData(content));
        const QString output = dir.filePath("picture.png");
        bool succeeded = false;
        QString reason;
        convert(input, output, "png", &succeeded, &reason);
        QVERIFY2(succeeded, qPrintable(reason));
        const QImage saved(output);
        QCOMPARE(saved.isGrayscale(), reference.isGrayscale());
        QCOMPARE(saved.depth() > 32, reference.depth() > 32);
        // The pixels alone: QImage's comparison takes in the colour space too, compared below.
        const auto pixels = [&reference](const QImage& picture) {
            QImage common = picture.convertToFormat(reference.depth() > 32 ? QImage::Format_RGBA64
                                                                           : QImage::Format_ARGB32);
            common.setColorSpace(QColorSpace());
            return common;
        };
        QCOMPARE(pixels(saved), pixels(reference));
        QCOMPARE(saved.colorSpace().iccProfile(),
                 profileKept ? reference.colorSpace().iccProfile() : QByteArray());
    }

    void damagedPropertiesGiveNoOutput_data()
    {
        QTest::addColumn<QByteArray>("property");
        QTest::newRow("clap denominator 0") << heif::clapProperty(200, 0, 120, 1, 0, 1, 0, 1);
        QTest::newRow("clap outside the picture") << heif::clapProperty(100, 1, 100, 1, 1000, 1, 0, 1);
        QTest::newRow("irot without its byte") << heif::box("irot", {});
    }
    void damagedPropertiesGiveNoOutput()
    {
        QFETCH(QByteArray, property);
        const QString input = variant("damaged", {property});
        const QString output = dir.filePath("damaged.png");
        bool succeeded = true;
        QString reason;
        convert(input, output, "png", &succeeded, &reason);
        QVERIFY(!succeeded);
        QCOMPARE(reason, QString("not a HEIC file or damaged"));
        QVERIFY(!QFileInfo::exists(output));
    }
};

VORNETTA_TEST_MAIN(PicturesTest)
#include "tst_pictures.moc"
