// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>

#include "fixtures/heicfixtures.h"
#include "tests/splitter/splitterprocess.h"
#include "tests/support/testmain.h"

using namespace vornetta::test;

// heic/heic run as the engine runs it, on files made here, its tiles decoded by the real ffmpeg.
class SplitterTest final : public QObject
{
    Q_OBJECT

private:
    // Encoding is the slow part: each grid is encoded once and varied for several cases.
    QHash<QString, heif::File> grids;

    heif::File grid(const QImage& picture, int tileWidth, int tileHeight)
    {
        const QString key =
            QString("%1x%2/%3x%4").arg(picture.width()).arg(picture.height()).arg(tileWidth).arg(tileHeight);
        if (!grids.contains(key)) {
            heif::File file;
            const QString failure = buildGridHeif(picture, tileWidth, tileHeight, &file);
            if (!failure.isEmpty()) {
                qWarning("%s", qPrintable(failure));
            }
            grids.insert(key, file);
        }
        return grids.value(key);
    }

    // Every tile decodes on its own and shows the part of the picture it covers.
    static void checkTiles(const QString& prefix, const QImage& picture, int tileWidth, int tileHeight)
    {
        const int cols = (picture.width() + tileWidth - 1) / tileWidth;
        const int rows = (picture.height() + tileHeight - 1) / tileHeight;
        QCOMPARE(fileBytes(prefix + "info"), expectedInfo(picture.width(), picture.height(), rows, cols));
        for (int n = 1; n <= rows * cols; ++n) {
            QString error;
            const QImage tile = decodeWithFfmpeg(prefix + QString::number(n), &error);
            QVERIFY2(error.isEmpty(), qPrintable(error));
            QCOMPARE(tile.size(), QSize(tileWidth, tileHeight));
            const QRect area =
                QRect((n - 1) % cols * tileWidth, (n - 1) / cols * tileHeight, tileWidth, tileHeight)
                    .intersected(picture.rect());
            const double quality = psnr(tile.copy(QRect(QPoint(0, 0), area.size())), picture.copy(area));
            QVERIFY2(quality > 35, qPrintable(QString("tile %1: %2 dB").arg(n).arg(quality)));
        }
        QVERIFY(!QFileInfo::exists(prefix + QString::number(rows * cols + 1)));
    }

    static void checkCleanFailure(const SplitterRun& run, const QString& folder, int status = 1)
    {
        QVERIFY2(run.failedCleanly(status), run.errorOutput.constData());
        QVERIFY(run.errorOutput.startsWith("heic: "));
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList());
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QFileInfo(splitterPath()).isExecutable(), qPrintable(splitterPath()));
        QVERIFY2(!ffmpegPath().isEmpty(), "ffmpeg is needed");
    }

    void gridSplitsIntoDecodableTiles_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QSize>("tile");
        QTest::addColumn<QString>("layout");
        QTest::newRow("1000x700 in 2 x 2 tiles of 512") << QSize(1000, 700) << QSize(512, 512) << "";
        QTest::newRow("960x640 in tiles of 480x320") << QSize(960, 640) << QSize(480, 320) << "";
        QTest::newRow("one-tile grid") << QSize(200, 150) << QSize(256, 192) << "";
        QTest::newRow("32-bit grid sizes") << QSize(1000, 700) << QSize(512, 512) << "wide";
        QTest::newRow("idat and several extents") << QSize(1000, 700) << QSize(512, 512) << "idat";
        QTest::newRow("64-bit sizes, iloc v2") << QSize(1000, 700) << QSize(512, 512) << "large";
    }
    void gridSplitsIntoDecodableTiles()
    {
        QFETCH(QSize, size);
        QFETCH(QSize, tile);
        QFETCH(QString, layout);
        const QImage picture = drawTestPicture(size.width(), size.height());
        heif::File file = grid(picture, tile.width(), tile.height());
        QVERIFY(!file.items.isEmpty());
        if (layout == "wide") {
            file.items[0].data = heif::gridData(2, 2, 1000, 700, true);
        } else if (layout == "idat") {
            file.items[0].constructionMethod = 1;
            for (heif::Item& item : file.items) {
                item.extentCount = 3;
            }
        } else if (layout == "large") {
            file.ilocVersion = 2;
            file.ilocOffsetSize = 8;
            file.ilocLengthSize = 8;
            file.ilocBaseOffsetSize = 8;
            file.mdatSize = 64;
        }
        const QString folder = freshFolder("grid");
        QCOMPARE(heif::writeFile(file.build(), folder + "/in.heic"), QString());

        const SplitterRun run = runSplitter(folder + "/in.heic", folder + "/hevc");
        QVERIFY2(run.succeeded(), run.errorOutput.constData());
        QCOMPARE(run.errorOutput, QByteArray());
        checkTiles(folder + "/hevc", picture, tile.width(), tile.height());
    }

    void singleImageIsOneTile()
    {
        if (QStandardPaths::findExecutable("heif-enc").isEmpty()) {
            QSKIP("heif-enc is not installed");
        }
        const QImage picture = drawTestPicture(1000, 700);
        const QString folder = freshFolder("single");
        QCOMPARE(writeSingleHeic(picture, folder + "/in.heic"), QString());

        const SplitterRun run = runSplitter(folder + "/in.heic", folder + "/hevc");
        QVERIFY2(run.succeeded(), run.errorOutput.constData());
        QCOMPARE(fileBytes(folder + "/hevcinfo"), expectedInfo(1000, 700, 1, 1));
        QString error;
        const QImage decoded = decodeWithFfmpeg(folder + "/hevc1", &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(decoded.size(), picture.size());
        const double quality = psnr(decoded, picture);
        QVERIFY2(quality > 35, qPrintable(QString::number(quality)));
    }

    void hostileFilesFailCleanly_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("kind"); // a sound picture of a kind not converted: what it is
        const QByteArray good = grid(drawTestPicture(1000, 700), 512, 512).build();
        const QByteArray damaged;
        QTest::newRow("0 bytes") << QByteArray() << damaged;
        QTest::newRow("half the file") << good.left(good.size() / 2) << damaged;
        QTest::newRow("all but the last byte") << good.left(good.size() - 1) << damaged;
        QTest::newRow("text") << QByteArray(4096, 'x') << damaged;
        QByteArray huge = good;
        huge.replace(huge.indexOf("meta") - 4, 4, QByteArray("\xff\xff\xff\xf0", 4));
        QTest::newRow("meta of 4 GiB") << huge << damaged;
        heif::File tiles = grid(drawTestPicture(1000, 700), 512, 512);
        tiles.items[0].data = heif::gridData(256, 256, 65535, 65535);
        QTest::newRow("grid claiming 256 x 256 tiles of 65535 x 65535") << tiles.build() << damaged;
        heif::File liar;
        QCOMPARE(buildLyingOverlayHeif(&liar), QString());
        QTest::newRow("overlay of 64 grids of 10000 x 10000") << liar.build() << damaged;
        // The last tile lies past the end: three tiles are written before that shows, then taken back.
        heif::File late = grid(drawTestPicture(1000, 700), 512, 512);
        late.mdatSize = 0;
        QTest::newRow("last tile past the end") << late.build().chopped(10) << damaged;
        heif::File other = grid(drawTestPicture(1000, 700), 512, 512);
        other.items[1].type = "av01";
        QTest::newRow("a grid of av01 tiles") << other.build() << QByteArray("av01 in grid");
        other.items[0].type = "mski";
        QTest::newRow("a mask") << other.build() << QByteArray("mski");
    }
    void hostileFilesFailCleanly()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, kind);
        const QString input = QDir::temp().filePath("hostile.heic");
        QCOMPARE(heif::writeFile(bytes, input), QString());
        const QString folder = freshFolder("hostile");
        // An information file of an earlier run must not survive a failure.
        QCOMPARE(heif::writeFile("width=1\n", folder + "/hevcinfo"), QString());
        if (kind.isEmpty()) {
            checkCleanFailure(runSplitter(input, folder + "/hevc"), folder);
            return;
        }
        // A sound file: its own status, and the kind in a file of its own for the engine to tell.
        const SplitterRun run = runSplitter(input, folder + "/hevc");
        QVERIFY2(run.failedCleanly(4), qPrintable(run.describe()));
        QVERIFY(run.errorOutput.endsWith(": picture kind not supported: " + kind + "\n"));
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{"hevckind"});
        QCOMPARE(fileBytes(folder + "/hevckind"), kind + "\n");
    }

    void cutAndFlippedCopiesFailCleanly()
    {
        const QByteArray good = grid(drawTestPicture(1000, 700), 512, 512).build();
        const QString input = QDir::temp().filePath("cut.heic");
        const QString folder = freshFolder("cut");
        const qsizetype metaEnd = good.indexOf("mdat");
        QList<qsizetype> cuts;
        for (qsizetype at = 0; at < metaEnd + 16; at += 13) {
            cuts.append(at);
        }
        for (qsizetype at = metaEnd; at < good.size(); at += good.size() / 17) {
            cuts.append(at);
        }
        for (const qsizetype at : cuts) {
            QCOMPARE(heif::writeFile(good.left(at), input), QString());
            checkCleanFailure(runSplitter(input, folder + "/hevc"), folder);
        }
        // A flipped bit may leave a readable file; either way the run ends cleanly and in time.
        for (qsizetype at = 0; at < metaEnd; at += 7) {
            QByteArray flipped = good;
            flipped[at] = char(flipped[at] ^ (1 << (at % 8)));
            QCOMPARE(heif::writeFile(flipped, input), QString());
            const SplitterRun run = runSplitter(input, folder + "/hevc");
            QVERIFY2(run.succeeded() || run.failedCleanly(), qPrintable(QString("bit at %1").arg(at)));
            QCOMPARE(QFileInfo::exists(folder + "/hevcinfo"), run.succeeded());
            if (run.failedCleanly()) {
                QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList());
            }
            QDir(folder).removeRecursively();
            QDir().mkpath(folder);
        }
    }

    // 10- and 12-bit pictures say so; an alpha plane goes beside the colour, its tiles decoding to the alpha.
    void depthAndAlphaAreSplitBesideTheColour_data()
    {
        QTest::addColumn<QString>("maker"); // "grid" (ours, tiles of 256) or "heif-enc" (one image)
        QTest::addColumn<int>("bits");
        QTest::addColumn<bool>("alpha");
        QTest::newRow("10-bit grid") << "grid" << 10 << false;
        QTest::newRow("12-bit image") << "heif-enc" << 12 << false;
        QTest::newRow("grid with a premultiplied alpha grid") << "grid" << 8 << true;
        QTest::newRow("10-bit image with alpha") << "heif-enc" << 10 << true;
    }
    void depthAndAlphaAreSplitBesideTheColour()
    {
        QFETCH(QString, maker);
        QFETCH(int, bits);
        QFETCH(bool, alpha);
        if (maker == "heif-enc" && QStandardPaths::findExecutable("heif-enc").isEmpty())
            QSKIP("heif-enc is not installed");
        const QImage picture = alpha ? withTestAlpha(drawTestPicture(600, 400)) : drawTestPicture(600, 400);
        const QString folder = freshFolder("deep");
        const QString input = folder + "/in.heic";
        const int tile = maker == "grid" ? 256 : 0;
        if (maker == "grid") {
            heif::File file;
            QCOMPARE(buildGridHeif(picture, tile, tile, &file, bits == 8 ? "yuv420p" : "yuv420p10le"),
                     QString());
            if (alpha)
                QCOMPARE(addAlphaPlane(picture, 1, 100, &file, tile, true), QString());
            QCOMPARE(heif::writeFile(file.build(), input), QString());
        } else {
            QCOMPARE(writeSingleHeic(picture, input, bits), QString());
        }

        const SplitterRun run = runSplitter(input, folder + "/hevc");
        QVERIFY2(run.succeeded(), run.errorOutput.constData());
        QCOMPARE(fileBytes(folder + "/hevcdepth"),
                 bits == 8 ? QByteArray() : QByteArray::number(bits) + " " + QByteArray::number(bits) + "\n");
        checkTiles(folder + "/hevc", picture, tile ? tile : 600, tile ? tile : 400);
        QCOMPARE(QFileInfo::exists(folder + "/hevcalphainfo"), alpha);
        QCOMPARE(QFileInfo::exists(folder + "/hevcpremultiplied"), alpha && maker == "grid");
        if (alpha)
            checkTiles(folder + "/hevcalpha", alphaAsGrey(picture), tile ? tile : 600, tile ? tile : 400);
    }

    // An overlay is described, its inputs taken apart one by one as any image.
    void overlayIsDescribedAndItsInputsSplit()
    {
        const QImage picture = drawTestPicture(400, 300);
        const QImage transparent = withTestAlpha(drawTestPicture(200, 150));
        heif::File file;
        QCOMPARE(buildOverlayHeif(&file, {250, 200}), QString());
        QVERIFY(!file.items.isEmpty());
        const QString folder = freshFolder("overlay");
        const QString input = folder + "/in.heic";
        QCOMPARE(heif::writeFile(file.build(), input), QString());

        SplitterRun run = runSplitter(input, folder + "/hevc");
        QVERIFY2(run.succeeded(), run.errorOutput.constData());
        QCOMPARE(QDir(folder).entryList({"hevc*"}, QDir::Files),
                 (QStringList{"hevcderived", "hevctransform"}));
        QCOMPARE(
            fileBytes(folder + "/hevcderived"),
            QByteArray(
                "derived iovl\ncanvas 500 400\nfill 0 40000 65535 65535\ninput 1 0 0\ninput 20 250 200\n"));
        run = runSplitter({"--list", input});
        QCOMPARE(run.output, QByteArray("30 ") + QByteArray::number(4 * 256 * 256 + 2 * 200 * 150) + "\n");

        run = runSplitter({"--item", "1", input, folder + "/grid"});
        QVERIFY2(run.succeeded(), run.errorOutput.constData());
        checkTiles(folder + "/grid", picture, 256, 256);
        run = runSplitter({"--item", "20", input, folder + "/image"});
        QVERIFY2(run.succeeded(), run.errorOutput.constData());
        checkTiles(folder + "/image", transparent, 200, 150);
        checkTiles(folder + "/imagealpha", alphaAsGrey(transparent), 200, 150);
    }

    void sideFilesDescribeThisRunOnly()
    {
        heif::File file = grid(drawTestPicture(200, 150), 256, 192);
        QVERIFY(!file.items.isEmpty());
        const QString folder = freshFolder("side files");
        const QString plain = folder + "/plain.heic";
        QCOMPARE(heif::writeFile(file.build(), plain), QString());

        const QByteArray profile("a profile the splitter hands on as it is");
        QByteArray exif("MM\0*\0\0\0\x08\0\0", 10);
        file.properties += {heif::irotProperty(1), heif::colrIccProperty(profile, "rICC")};
        file.items[0].properties += {int(file.properties.size()) - 1, int(file.properties.size())};
        heif::Item exifItem;
        exifItem.id = 99;
        exifItem.type = "Exif";
        exifItem.data = QByteArray("\0\0\0\0", 4) + exif;
        file.items.append(exifItem);
        file.references.append(heif::Reference{"cdsc", 99, {1}});
        const QString rich = folder + "/rich.heic";
        QCOMPARE(heif::writeFile(file.build(), rich), QString());

        SplitterRun run = runSplitter(rich, folder + "/hevc");
        QVERIFY2(run.succeeded(), run.errorOutput.constData());
        QCOMPARE(fileBytes(folder + "/hevctransform"), QByteArray("rotate 1\n"));
        QCOMPARE(fileBytes(folder + "/hevcicc"), profile);
        QCOMPARE(fileBytes(folder + "/hevcexif"), exif);
        // The information file keeps its format.
        QCOMPARE(fileBytes(folder + "/hevcinfo"), expectedInfo(200, 150, 1, 1));

        // A picture without them leaves an empty transform file and no stale profile or Exif.
        run = runSplitter(plain, folder + "/hevc");
        QVERIFY2(run.succeeded(), run.errorOutput.constData());
        QVERIFY(QFileInfo::exists(folder + "/hevctransform"));
        QCOMPARE(fileBytes(folder + "/hevctransform"), QByteArray());
        QVERIFY(!QFileInfo::exists(folder + "/hevcicc"));
        QVERIFY(!QFileInfo::exists(folder + "/hevcexif"));
        QCOMPARE(QDir(folder).entryList({"hevc*"}, QDir::Files),
                 (QStringList{"hevc1", "hevcinfo", "hevctransform"}));
    }

    // --list names the file's pictures, --item takes one of them apart; anything else is a usage error.
    void optionsChooseTheImage_data()
    {
        QTest::addColumn<QStringList>("arguments"); // IN: a grid (item 1) and its tile as an image (3)
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QByteArray>("info"); // what OUTinfo holds; empty: no file is left
        const QByteArray none;
        QTest::newRow("the list") << QStringList{"--list", "IN"} << 0 << QByteArray("1 49152\n3 49152\n")
                                  << none;
        QTest::newRow("a given image")
            << QStringList{"--item", "3", "IN", "OUT"} << 0 << none << expectedInfo(256, 192, 1, 1);
        QTest::newRow("a missing item") << QStringList{"--item", "42", "IN", "OUT"} << 1 << none << none;
        QTest::newRow("the list of a broken file") << QStringList{"--list", "BROKEN"} << 1 << none << none;
        QTest::newRow("item 0") << QStringList{"--item", "0", "IN", "OUT"} << 2 << none << none;
        QTest::newRow("an id past 32 bits")
            << QStringList{"--item", "4294967296", "IN", "OUT"} << 2 << none << none;
        QTest::newRow("a signed id") << QStringList{"--item", "+3", "IN", "OUT"} << 2 << none << none;
        QTest::newRow("an item without a prefix") << QStringList{"--item", "3", "IN"} << 2 << none << none;
        QTest::newRow("a list of two files") << QStringList{"--list", "IN", "IN"} << 2 << none << none;
    }
    void optionsChooseTheImage()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QByteArray, output);
        QFETCH(QByteArray, info);
        const QImage picture = drawTestPicture(200, 150);
        heif::File file = grid(picture, 256, 192);
        QVERIFY(!file.items.isEmpty());
        heif::Item image = file.items[1];
        image.id = 3;
        image.hidden = false; // tiles are hidden, a picture of its own is not
        file.items.append(image);
        const QString folder = freshFolder("options");
        const QString input = QDir::temp().filePath("two pictures.heic");
        QCOMPARE(heif::writeFile(file.build(), input), QString());
        QCOMPARE(heif::writeFile("not a picture", folder + "/broken.heic"), QString());
        arguments.replaceInStrings("IN", input).replaceInStrings("BROKEN", folder + "/broken.heic");
        arguments.replaceInStrings("OUT", folder + "/hevc");

        const SplitterRun run = runSplitter(arguments);
        QCOMPARE(run.exitCode, status);
        QCOMPARE(run.output, output);
        if (status != 0) {
            QVERIFY2(run.failedCleanly(status), qPrintable(run.describe()));
            QCOMPARE(QDir(folder).entryList({"hevc*"}, QDir::Files), QStringList());
            return;
        }
        QCOMPARE(run.errorOutput, QByteArray());
        if (info.isEmpty())
            return;
        // The image is the grid's one tile, all of it.
        QCOMPARE(fileBytes(folder + "/hevcinfo"), info);
        QString error;
        const QImage tile = decodeWithFfmpeg(folder + "/hevc1", &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(tile.size(), QSize(256, 192));
        QVERIFY(psnr(tile.copy(picture.rect()), picture) > 35);
    }

    void badArgumentsAndPathsFail()
    {
        const QString folder = freshFolder("arguments");
        SplitterRun run = runSplitter(QStringList{});
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.errorOutput.count('\n'), 1);
        checkCleanFailure(runSplitter(folder + "/missing.heic", folder + "/hevc"), folder);
        checkCleanFailure(runSplitter(folder, folder + "/hevc"), folder);
        checkCleanFailure(runSplitter(folder + "/two\nlines.heic", folder + "/hevc"), folder);

        const QString input = QDir::temp().filePath("good.heic");
        QCOMPARE(heif::writeFile(grid(drawTestPicture(200, 150), 256, 192).build(), input), QString());
        // An output that cannot be written is told apart from a bad file.
        checkCleanFailure(runSplitter(input, folder + "/no-such-folder/hevc"), folder, 3);
        // A link planted where a tile goes is never written through.
        const QString elsewhere = freshFolder("elsewhere") + "/kept";
        QCOMPARE(heif::writeFile("kept", elsewhere), QString());
        QVERIFY(QFile::link(elsewhere, folder + "/hevc1"));
        QVERIFY(runSplitter(input, folder + "/hevc").failedCleanly(3));
        QCOMPARE(fileBytes(elsewhere), QByteArray("kept"));
    }
};

VORNETTA_TEST_MAIN(SplitterTest)
#include "tst_splitter.moc"
